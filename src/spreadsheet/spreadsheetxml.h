#pragma once
// What the .xlsx and .ods readers share: XML parts looked at by their local
// names (writers differ in the prefixes they choose), a walk through a part
// that keeps no call stack however deep the nesting, and the block the cells
// are put into.
#include "spreadsheet/spreadsheetblock.h"

#include <pugixml.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace calvero {

// "table:table-cell" -> "table-cell".
std::string_view localName(const char* name);

// The first child element, or attribute, with the local name; empty when none.
pugi::xml_node childNamed(pugi::xml_node node, std::string_view local);
pugi::xml_attribute attributeNamed(pugi::xml_node node, std::string_view local);

// False when the bytes are not a well-formed XML document, or the document
// would take more memory than the budget in force leaves.
bool parseXml(pugi::xml_document& document, const std::string& bytes);

// While it lives, the XML documents built take at most `bytes` of memory
// together. A part of a few kilobytes packed can unpack into megabytes of
// empty elements, each a node of tens of bytes; without a budget one such
// file would take gigabytes.
class XmlMemoryBudget {
public:
    explicit XmlMemoryBudget(std::size_t bytes);
    ~XmlMemoryBudget();
    XmlMemoryBudget(const XmlMemoryBudget&) = delete;
    XmlMemoryBudget& operator=(const XmlMemoryBudget&) = delete;

private:
    std::size_t left_;
    std::size_t* previous_;
};

// A whole number of an attribute: nothing when it is not one; values past
// the limit give the limit.
std::optional<std::uint64_t> countAttribute(std::string_view text, std::uint64_t limit);

// A double written in an XML value ("1.5", "-2E-05"); nothing otherwise.
std::optional<double> xmlNumber(std::string_view text);

// Puts a cell's text into the block (rows 1..200, columns 1..3; others are
// ignored), cut to a grid cell's length.
void putBlockCell(SpreadsheetBlock& block, std::uint64_t row, std::uint64_t column, const std::string& text);

// Visits the nodes below root in document order; visit returns whether to go
// into the node's children.
template <typename Visit>
void walkBelow(pugi::xml_node root, Visit visit)
{
    pugi::xml_node node = root.first_child();
    while (node) {
        if (visit(node) && node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node != root && !node.next_sibling()) node = node.parent();
        if (node == root) return;
        node = node.next_sibling();
    }
}

} // namespace calvero
