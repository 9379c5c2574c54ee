#pragma once
// Owner of one libxml2 document, with the project's rules for reading and writing XML:
// no network, no DTD loading, no entity substitution, documents with a DOCTYPE refused,
// input above a size cap refused before parsing, no messages printed, numbers in the
// C locale's format whatever the host process has set.

#include <libxml/tree.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vorlatek::xml {

// Largest document the plug-in will parse (bytes).
inline constexpr std::size_t kMaxDocumentSize = 64u * 1024u * 1024u;

class Document {
public:
    Document() = default;
    explicit Document(xmlDocPtr doc) : doc_(doc) {}
    ~Document();
    Document(Document&& other) noexcept : doc_(other.doc_) { other.doc_ = nullptr; }
    Document& operator=(Document&& other) noexcept;
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // Parses bytes from memory (base name "abcdefg"); an empty document on any failure.
    static Document parseMemory(const void* data, std::size_t size);
    // What parseFile found at the path. A caller that writes the file back later must not
    // replace one it could not read: the file is the user's, and may be what they meant.
    enum class FileOutcome {
        Parsed,    // a document came out of it
        Absent,    // no file there, or an empty one: nothing to lose
        Unread,    // something there that did not give a document: not a regular file,
                   // larger than the cap, unreadable, or not XML we accept
    };
    // Reads and parses a file; an empty document when it is missing, is not a regular file,
    // is too large or does not parse. FIFOs and devices are refused without blocking.
    static Document parseFile(const std::string& path, FileOutcome* outcome = nullptr);
    // A new document, version "1.0", with `root` (an element this document now owns) as root.
    static Document withRoot(xmlNodePtr root);

    explicit operator bool() const { return doc_ != nullptr; }
    xmlDocPtr get() const { return doc_; }
    // The root element, or null.
    xmlNodePtr root() const;

    // Indented UTF-8 file with the XML declaration. The file is replaced whole, through a
    // symbolic link, keeping its mode; a failed write leaves the old file untouched, and
    // nothing is written over a device, a FIFO, a folder or a read-only file.
    // An empty path writes nothing. Returns whether the file was written.
    bool saveFile(const std::string& path) const;
    // Indented text with the declaration `<?xml version="1.0"?>`, as stored in host chunks.
    std::string dump() const;

private:
    xmlDocPtr doc_ = nullptr;
};

// Element helpers ----------------------------------------------------------------------

// True when `node` is an element whose name is exactly `name`.
bool isElement(const xmlNode* node, const char* name);
// The element's name, or "" for a null node.
std::string_view nodeName(const xmlNode* node);

// Calls f(xmlNodePtr) for every element child, in document order.
template <class F>
void forEachChildElement(const xmlNode* parent, F&& f) {
    if (!parent) return;
    for (xmlNodePtr child = parent->children; child; child = child->next)
        if (child->type == XML_ELEMENT_NODE) f(child);
}

// Calls f(std::string_view name, const std::string& value) for every attribute, in document order.
template <class F>
void forEachAttribute(const xmlNode* node, F&& f);

// The value of attribute `name`, or nothing when absent.
std::optional<std::string> attribute(const xmlNode* node, const char* name);
// The text of the node's first child (what a row element holds), or nothing when it has none.
std::optional<std::string> firstChildText(const xmlNode* node);

xmlNodePtr newElement(const char* name);
// Appends a new child element and returns it.
xmlNodePtr addChildElement(xmlNodePtr parent, const char* name);
// Appends an element child with text content.
xmlNodePtr addTextElement(xmlNodePtr parent, const char* name, std::string_view text);
void setAttribute(xmlNodePtr node, const char* name, std::string_view value);

// Copies the longest prefix of `text` that fits in `maxBytes` bytes and that a document can
// carry: whole UTF-8 characters only (invalid bytes dropped), control characters as blanks.
// Names set from a host or a user go through this, so a saved file always parses again.
// Writes the terminator after at most maxBytes bytes; returns the bytes copied.
std::size_t copyStorableText(char* destination, std::size_t maxBytes, std::string_view text);

// Numbers ------------------------------------------------------------------------------

// "%f" in the C locale: six decimals.
std::string formatFloat(double value);
// "%d".
std::string formatInt(long long value);
// Reads a number the way sscanf("%f") does (leading blanks, sign, decimals, exponent), in
// the C locale. Nothing when no number can be read, or when it is not finite.
std::optional<float> parseFloat(std::string_view text);
// Reads a number the way sscanf("%d") does; values beyond the int range are clamped.
std::optional<int> parseInt(std::string_view text);

// Text of an attribute node (implementation detail of forEachAttribute).
std::string attributeText(const xmlAttr* attr);

template <class F>
void forEachAttribute(const xmlNode* node, F&& f) {
    if (!node || node->type != XML_ELEMENT_NODE) return;
    for (xmlAttrPtr attr = node->properties; attr; attr = attr->next) {
        const std::string value = attributeText(attr);
        f(std::string_view(reinterpret_cast<const char*>(attr->name)), value);
    }
}

}  // namespace vorlatek::xml
