// Checks of the dispatcher and parameter calls: every string call into a buffer of the
// interface's size that ends at an inaccessible page, parameter values in and out of
// range, indices out of range, and program numbers out of range (also ones that only
// become valid when cut to 32 bits).

#include "host/GuardedBuffer.h"
#include "host/ValidationRig.h"

#include <climits>
#include <cstring>
#include <cmath>
#include <limits>
#include <map>

namespace vorlatek::host {
namespace {

// What each kind of text may take: the interface's limit in characters, plus the
// terminator the published helpers write after that many.
constexpr std::size_t kParamText = vst::kVstMaxParamStrLen + 1;
constexpr std::size_t kProgramText = vst::kVstMaxProgNameLen + 1;
constexpr std::size_t kEffectNameText = vst::kVstMaxEffectNameLen + 1;
constexpr std::size_t kVendorText = vst::kVstMaxVendorStrLen + 1;
constexpr std::size_t kProductText = vst::kVstMaxProductStrLen + 1;
// The parameter properties record, which this host does not otherwise use: its size, and
// where its label begins (after three step sizes).
constexpr std::size_t kParameterPropertiesSize = 152;
constexpr std::size_t kParameterPropertiesLabel = 12;

const char* opcodeName(vst::VstInt32 opcode) {
    switch (opcode) {
        case vst::effGetProgramName: return "effGetProgramName";
        case vst::effGetParamLabel: return "effGetParamLabel";
        case vst::effGetParamDisplay: return "effGetParamDisplay";
        case vst::effGetParamName: return "effGetParamName";
        case vst::effGetProgramNameIndexed: return "effGetProgramNameIndexed";
        case vst::effGetInputProperties: return "effGetInputProperties";
        case vst::effGetOutputProperties: return "effGetOutputProperties";
        case vst::effGetEffectName: return "effGetEffectName";
        case vst::effGetVendorString: return "effGetVendorString";
        case vst::effGetProductString: return "effGetProductString";
        case vst::effGetParameterProperties: return "effGetParameterProperties";
        case vst::effCanBeAutomated: return "effCanBeAutomated";
        case vst::effString2Parameter: return "effString2Parameter";
        default: return "opcode";
    }
}

// Room given for a text: more than hosts give in practice, ending at an inaccessible page.
// What is written into it is measured against the interface's limit.
constexpr std::size_t kTextRoom = 256;
constexpr unsigned char kUnwritten = 0xA5;

// Makes the calls that write texts and records, and checks what comes back: a text must
// fit the interface's limit with its terminator; a record must not be written past.
class StringCaller {
public:
    StringCaller(CheckContext& context, PluginInstance& plugin)
        : context_(context), plugin_(plugin), room_(kTextRoom) {}

    void text(vst::VstInt32 opcode, std::size_t limit, vst::VstInt32 index = 0, vst::VstIntPtr value = 0) {
        const std::string what = std::string(opcodeName(opcode)) + "(" + std::to_string(index) + ")";
        context_.step(what);
        std::memset(room_.data(), kUnwritten, room_.size());
        plugin_.dispatch(opcode, index, value, room_.data());
        ++calls_;
        std::size_t written = room_.size();
        while (written > 0 && static_cast<unsigned char>(room_.data()[written - 1]) == kUnwritten) --written;
        // Writing nothing leaves what the host put there (an empty text, as hosts clear it).
        if (written == 0) return;
        context_.expect(written <= limit, what + " wrote " + std::to_string(written) +
                                              " bytes where the interface allows " + std::to_string(limit));
        context_.expect(std::memchr(room_.data(), 0, written) != nullptr, what + " wrote a text without a terminator");
    }

    // `labelAt`: where the record's label of at most 64 characters begins.
    void record(vst::VstInt32 opcode, std::size_t size, std::size_t labelAt, vst::VstInt32 index) {
        GuardedBuffer& buffer = recordOf(size);
        buffer.clear();
        context_.step(std::string(opcodeName(opcode)) + "(" + std::to_string(index) + ") into its " +
                      std::to_string(size) + "-byte record");
        plugin_.dispatch(opcode, index, 0, buffer.data());
        ++calls_;
        context_.expect(std::memchr(buffer.data() + labelAt, 0, vst::kVstMaxLabelLen) != nullptr,
                        std::string(opcodeName(opcode)) + "(" + std::to_string(index) + ") left an unterminated label");
    }

    // A text the plug-in reads, in a buffer that ends right after its terminator.
    void give(vst::VstInt32 opcode, const std::string& text, vst::VstInt32 index = 0) {
        GuardedBuffer buffer(text.size() + 1);
        std::copy(text.begin(), text.end(), buffer.data());
        context_.step(std::string(opcodeName(opcode)) + "(" + std::to_string(index) + ") with a text of " +
                      std::to_string(text.size()) + " characters");
        plugin_.dispatch(opcode, index, 0, buffer.data());
        ++calls_;
    }

    int calls() const { return calls_; }

private:
    GuardedBuffer& recordOf(std::size_t size) {
        auto found = records_.find(size);
        if (found == records_.end()) found = records_.emplace(size, std::make_unique<GuardedBuffer>(size)).first;
        return *found->second;
    }

    CheckContext& context_;
    PluginInstance& plugin_;
    GuardedBuffer room_;
    std::map<std::size_t, std::unique_ptr<GuardedBuffer>> records_;
    int calls_ = 0;
};

void expectUnitValue(CheckContext& context, const std::string& call, int index, float value) {
    context.expect(std::isfinite(value) && value >= 0.0f && value <= 1.0f,
                   call + " left getParameter(" + std::to_string(index) + ") = " + describe(value) + ", outside 0..1");
}

std::string stringCalls(CheckContext& context) {
    ValidationRig rig(context);
    PluginInstance& plugin = rig.plugin();
    const vst::AEffect& e = rig.effect();
    StringCaller caller(context, plugin);
    caller.text(vst::effGetEffectName, kEffectNameText);
    caller.text(vst::effGetVendorString, kVendorText);
    caller.text(vst::effGetProductString, kProductText);
    caller.text(vst::effGetProgramName, kProgramText);
    for (int p = 0; p < e.numPrograms; ++p) caller.text(vst::effGetProgramNameIndexed, kProgramText, p, -1);
    for (int i = 0; i < e.numParams; ++i) {
        for (vst::VstInt32 opcode : {vst::effGetParamName, vst::effGetParamLabel, vst::effGetParamDisplay})
            caller.text(opcode, kParamText, i);
    }
    for (int pin = 0; pin < e.numOutputs; ++pin) caller.record(vst::effGetOutputProperties, sizeof(vst::VstPinProperties), 0, pin);
    for (int pin = 0; pin < e.numInputs; ++pin) caller.record(vst::effGetInputProperties, sizeof(vst::VstPinProperties), 0, pin);

    // Texts the plug-in is given: a program name far beyond the limit must come back cut
    // to fit, and canDo must read no further than the terminator.
    caller.give(vst::effSetProgramName, std::string(100, 'N'));
    caller.text(vst::effGetProgramName, kProgramText);
    if (e.numPrograms > 0) {
        const auto current = static_cast<vst::VstInt32>(plugin.dispatch(vst::effGetProgram));
        caller.text(vst::effGetProgramNameIndexed, kProgramText, current, -1);
    }
    caller.give(vst::effCanDo, "");
    caller.give(vst::effCanDo, std::string(1000, 'x'));
    for (int i = 0; i < e.numParams; ++i) caller.give(vst::effString2Parameter, "0.5", i);
    return std::to_string(caller.calls()) + " calls, every text within the interface's limit and terminated";
}

std::string parameterValues(CheckContext& context) {
    ValidationRig rig(context);
    PluginInstance& plugin = rig.plugin();
    const int count = rig.effect().numParams;
    for (int i = 0; i < count; ++i) expectUnitValue(context, "the plug-in", i, plugin.getParameter(i));

    std::vector<int> indices;
    for (int i = 0; i < count; ++i)
        if (!context.quick() || i == 0 || i == count - 1 || i == count / 2 || context.randomInt(0, count) < 8)
            indices.push_back(i);
    const float bad[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity(), -1.0f, 2.0f, 1e30f, -1e30f,
                         std::numeric_limits<float>::denorm_min()};
    for (int i : indices) {
        for (float value : bad) {
            const std::string call = "setParameter(" + std::to_string(i) + ", " + describe(value) + ")";
            context.step(call);
            const float before = plugin.getParameter(i);
            plugin.setParameter(i, value);
            const float after = plugin.getParameter(i);
            if (std::isnan(value)) {
                context.expect(after == before, call + " changed getParameter(" + std::to_string(i) + ") from " +
                                                    describe(before) + " to " + describe(after));
            } else {
                expectUnitValue(context, call, i, after);
            }
        }
    }
    // The host's own changes are not the user's: they must not come back as automation.
    context.step("setParameter on every parameter");
    const int automatedBefore = plugin.requestCount(vst::audioMasterAutomate);
    for (int i = 0; i < count; ++i) plugin.setParameter(i, static_cast<float>(context.randomInt(0, 64)) / 64.0f);
    const int echoes = plugin.requestCount(vst::audioMasterAutomate) - automatedBefore;
    context.expect(echoes == 0, "the plug-in sent audioMasterAutomate " + std::to_string(echoes) + " times for " +
                                    std::to_string(count) + " host setParameter calls");

    rig.run(4 * rig.maxBlock(), ValidationRig::noteBurst(rig.maxBlock()));
    return std::to_string(count) + " parameters within 0..1, NaN ignored and " + std::to_string(std::size(bad) - 1) +
           " bad values kept in range on " + std::to_string(indices.size()) + " parameters, no automation echoed";
}

std::string badIndices(CheckContext& context) {
    ValidationRig rig(context);
    PluginInstance& plugin = rig.plugin();
    const vst::AEffect& e = rig.effect();
    StringCaller caller(context, plugin);
    const auto outside = [](int count) { return std::vector<int>{-1, -2, count, count + 1, count + 1000, INT_MAX, INT_MIN}; };

    for (int index : outside(e.numParams)) {
        const std::string call = "getParameter(" + std::to_string(index) + ")";
        context.step(call);
        const float value = plugin.getParameter(index);
        context.expect(std::isfinite(value), call + " returned " + describe(value));
        context.step("setParameter(" + std::to_string(index) + ", 0.5)");
        plugin.setParameter(index, 0.5f);
        for (vst::VstInt32 opcode : {vst::effGetParamName, vst::effGetParamLabel, vst::effGetParamDisplay})
            caller.text(opcode, kParamText, index);
        caller.record(vst::effGetParameterProperties, kParameterPropertiesSize, kParameterPropertiesLabel, index);
        context.step("effCanBeAutomated(" + std::to_string(index) + ")");
        plugin.dispatch(vst::effCanBeAutomated, index);
        caller.give(vst::effString2Parameter, "0.5", index);
    }
    for (int index : outside(e.numPrograms)) caller.text(vst::effGetProgramNameIndexed, kProgramText, index, -1);
    for (int index : outside(e.numOutputs)) caller.record(vst::effGetOutputProperties, sizeof(vst::VstPinProperties), 0, index);
    for (int index : outside(e.numInputs)) caller.record(vst::effGetInputProperties, sizeof(vst::VstPinProperties), 0, index);
    rig.run(4 * rig.maxBlock(), ValidationRig::noteBurst(rig.maxBlock()));
    return "parameter, program and pin indices below 0, past the end, INT_MIN and INT_MAX";
}

std::string programs(CheckContext& context) {
    ValidationRig rig(context);
    PluginInstance& plugin = rig.plugin();
    const int count = rig.effect().numPrograms;
    if (count == 0) throw CheckSkipped("the plug-in has no programs");
    const auto current = [&] { return static_cast<int>(plugin.dispatch(vst::effGetProgram)); };
    context.expect(current() >= 0 && current() < count, "effGetProgram answers " + std::to_string(current()) +
                                                           " of " + std::to_string(count) + " programs");

    std::vector<int> chosen;
    for (int p = 0; p < count; ++p)
        if (!context.quick() || p < 4 || p == count - 1 || context.randomInt(0, count) < 12) chosen.push_back(p);
    const int automatedBefore = plugin.requestCount(vst::audioMasterAutomate);
    for (int p : chosen) {
        const std::string call = "effSetProgram(" + std::to_string(p) + ")";
        context.step(call);
        plugin.dispatch(vst::effSetProgram, 0, p);
        context.expect(current() == p, call + " left effGetProgram at " + std::to_string(current()));
        for (int i = 0; i < rig.effect().numParams; ++i) expectUnitValue(context, call, i, plugin.getParameter(i));
    }

    // Numbers that are not programs, among them ones that name a program once cut to 32 bits.
    plugin.dispatch(vst::effSetProgram, 0, 0);
    const vst::VstIntPtr wrapped = count > 1 ? 1 : 0;
    const std::vector<vst::VstIntPtr> outside = {-1, -2, count, count + 1, INT_MAX, INT_MIN,
                                                 (vst::VstIntPtr{1} << 32) + wrapped, wrapped - (vst::VstIntPtr{1} << 32),
                                                 std::numeric_limits<vst::VstIntPtr>::max(),
                                                 std::numeric_limits<vst::VstIntPtr>::min()};
    for (vst::VstIntPtr value : outside) {
        const std::string call = "effSetProgram(" + std::to_string(value) + ")";
        context.step(call);
        plugin.dispatch(vst::effSetProgram, 0, value);
        context.expect(current() == 0, call + " changed the program from 0 to " + std::to_string(current()));
    }
    // A program change is the host's doing: it must not come back as automation.
    const int echoes = plugin.requestCount(vst::audioMasterAutomate) - automatedBefore;
    context.expect(echoes == 0, std::to_string(chosen.size() + outside.size()) + " effSetProgram calls sent audioMasterAutomate " +
                                    std::to_string(echoes) + " times");
    rig.run(4 * rig.maxBlock(), ValidationRig::noteBurst(rig.maxBlock()));
    return std::to_string(chosen.size()) + " programs selected without automation, " + std::to_string(outside.size()) +
           " numbers out of range ignored";
}

}  // namespace

std::vector<Check> callChecks() {
    return {{"string calls", stringCalls},
            {"parameter values", parameterValues},
            {"bad indices", badIndices},
            {"programs", programs}};
}

}  // namespace vorlatek::host
