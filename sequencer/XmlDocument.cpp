#include "sequencer/XmlDocument.h"

#include "sequencer/FileAccess.h"

#include <libxml/parser.h>
#include <libxml/xmlsave.h>

#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace vorlatek::xml {

namespace {

void initLibrary() {
    static std::once_flag once;
    std::call_once(once, [] {
        LIBXML_TEST_VERSION;
        xmlInitParser();
    });
}

// Parser callbacks that keep libxml2 quiet and stop at the first DOCTYPE.
void silentStructuredError(void*, xmlErrorPtr) {}
void silentError(void*, const char*, ...) {}

void refuseDoctype(void* context, const xmlChar*, const xmlChar*, const xmlChar*) {
    auto* ctxt = static_cast<xmlParserCtxtPtr>(context);
    ctxt->_private = reinterpret_cast<void*>(1);
    xmlStopParser(ctxt);
}

// The length in bytes of the well-formed UTF-8 character at `i` that XML can carry, or 0.
std::size_t utf8CharacterSize(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) return lead == 0 ? 0 : 1;
    std::size_t count = 0;
    char32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) count = 2, code = lead & 0x1F;
    else if (lead >= 0xE0 && lead <= 0xEF) count = 3, code = lead & 0x0F;
    else if (lead >= 0xF0 && lead <= 0xF4) count = 4, code = lead & 0x07;
    else return 0;
    if (i + count > text.size()) return 0;
    for (std::size_t k = 1; k < count; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < smallest[count] || code > 0x10FFFF) return 0;     // overlong or too large
    if ((code >= 0xD800 && code <= 0xDFFF) || code == 0xFFFE || code == 0xFFFF) return 0;
    return count;
}

constexpr int kParseOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

}  // namespace

Document::~Document() {
    if (doc_) xmlFreeDoc(doc_);
}

Document& Document::operator=(Document&& other) noexcept {
    if (this != &other) {
        if (doc_) xmlFreeDoc(doc_);
        doc_ = other.doc_;
        other.doc_ = nullptr;
    }
    return *this;
}

Document Document::parseMemory(const void* data, std::size_t size) {
    if (!data || size == 0 || size > kMaxDocumentSize || size > static_cast<std::size_t>(INT_MAX))
        return Document();
    initLibrary();
    xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
    if (!ctxt) return Document();
    ctxt->sax->serror = silentStructuredError;
    ctxt->sax->error = silentError;
    ctxt->sax->warning = silentError;
    ctxt->sax->internalSubset = refuseDoctype;
    ctxt->_private = nullptr;
    xmlDocPtr doc = xmlCtxtReadMemory(ctxt, static_cast<const char*>(data), static_cast<int>(size),
                                      "abcdefg", nullptr, kParseOptions);
    const bool refused = ctxt->_private != nullptr;
    xmlFreeParserCtxt(ctxt);
    if (doc && (refused || doc->intSubset || doc->extSubset || !xmlDocGetRootElement(doc))) {
        xmlFreeDoc(doc);
        doc = nullptr;
    }
    return Document(doc);
}

Document Document::parseFile(const std::string& path, FileOutcome* outcome) {
    const files::FileContents file = files::readRegularFile(path, kMaxDocumentSize);
    Document doc;
    if (file.status == files::ReadStatus::Read) doc = parseMemory(file.bytes.data(), file.bytes.size());
    if (outcome) {
        const bool absent = file.status == files::ReadStatus::Missing || file.status == files::ReadStatus::Empty;
        *outcome = doc ? FileOutcome::Parsed : absent ? FileOutcome::Absent : FileOutcome::Unread;
    }
    return doc;
}

Document Document::withRoot(xmlNodePtr root) {
    initLibrary();
    xmlDocPtr doc = xmlNewDoc(BAD_CAST "1.0");
    if (!doc) {
        if (root) xmlFreeNode(root);
        return Document();
    }
    if (root) xmlDocSetRootElement(doc, root);
    return Document(doc);
}

xmlNodePtr Document::root() const { return doc_ ? xmlDocGetRootElement(doc_) : nullptr; }

bool Document::saveFile(const std::string& path) const {
    if (!doc_ || path.empty()) return false;
    xmlChar* text = nullptr;
    int size = 0;
    xmlDocDumpFormatMemoryEnc(doc_, &text, &size, "UTF-8", 1);
    if (!text) return false;
    const bool ok = files::replaceFile(path, std::string_view(reinterpret_cast<const char*>(text),
                                                              static_cast<std::size_t>(size)));
    xmlFree(text);
    return ok;
}

std::string Document::dump() const {
    if (!doc_) return {};
    xmlChar* text = nullptr;
    int size = 0;
    xmlDocDumpFormatMemory(doc_, &text, &size, 1);
    std::string result;
    if (text) {
        result.assign(reinterpret_cast<const char*>(text), static_cast<std::size_t>(size));
        xmlFree(text);
    }
    return result;
}

bool isElement(const xmlNode* node, const char* name) {
    return node && node->type == XML_ELEMENT_NODE && node->name &&
           std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

std::string_view nodeName(const xmlNode* node) {
    if (!node || !node->name) return {};
    return reinterpret_cast<const char*>(node->name);
}

std::string attributeText(const xmlAttr* attr) {
    std::string value;
    if (!attr) return value;
    xmlChar* text = xmlNodeListGetString(attr->doc, attr->children, 1);
    if (text) {
        value = reinterpret_cast<const char*>(text);
        xmlFree(text);
    }
    return value;
}

std::optional<std::string> attribute(const xmlNode* node, const char* name) {
    if (!node || node->type != XML_ELEMENT_NODE) return std::nullopt;
    for (xmlAttrPtr attr = node->properties; attr; attr = attr->next)
        if (attr->name && std::strcmp(reinterpret_cast<const char*>(attr->name), name) == 0)
            return attributeText(attr);
    return std::nullopt;
}

std::optional<std::string> firstChildText(const xmlNode* node) {
    if (!node || !node->children) return std::nullopt;
    xmlChar* text = xmlNodeGetContent(node->children);
    std::string value;
    if (text) {
        value = reinterpret_cast<const char*>(text);
        xmlFree(text);
    }
    return value;
}

xmlNodePtr newElement(const char* name) {
    initLibrary();
    return xmlNewNode(nullptr, BAD_CAST name);
}

xmlNodePtr addChildElement(xmlNodePtr parent, const char* name) {
    return xmlNewChild(parent, nullptr, BAD_CAST name, nullptr);
}

xmlNodePtr addTextElement(xmlNodePtr parent, const char* name, std::string_view text) {
    xmlNodePtr child = addChildElement(parent, name);
    if (child && !text.empty()) {
        const std::string copy(text);
        xmlNodeAddContent(child, BAD_CAST copy.c_str());
    }
    return child;
}

void setAttribute(xmlNodePtr node, const char* name, std::string_view value) {
    const std::string copy(value);
    xmlSetProp(node, BAD_CAST name, BAD_CAST copy.c_str());
}

std::size_t copyStorableText(char* destination, std::size_t maxBytes, std::string_view text) {
    std::size_t size = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t count = utf8CharacterSize(text, i);
        if (count == 0) {  // not UTF-8: dropped
            ++i;
            continue;
        }
        if (size + count > maxBytes) break;
        if (count == 1 && static_cast<unsigned char>(text[i]) < 0x20)
            destination[size++] = ' ';  // one line of printable text
        else
            for (std::size_t k = 0; k < count; ++k) destination[size++] = text[i + k];
        i += count;
    }
    destination[size] = '\0';
    return size;
}

std::string formatFloat(double value) {
    char buffer[512];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    if (result.ec != std::errc()) return "0.000000";
    return std::string(buffer, result.ptr);
}

std::string formatInt(long long value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

}  // namespace vorlatek::xml
