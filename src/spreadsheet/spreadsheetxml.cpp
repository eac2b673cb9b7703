#include "spreadsheet/spreadsheetxml.h"

#include "common/numtext.h"
#include "common/celltext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace calvero {

namespace {


// What the budget in force leaves; none, no limit.
std::size_t* budgetLeft = nullptr;

// pugixml's memory comes from here: malloc and free, as pugixml's own, with
// what is taken counted against the budget in force (never given back: one
// import reads few documents).
void* allocateCounted(std::size_t size)
{
    if (budgetLeft != nullptr) {
        if (size > *budgetLeft) return nullptr; // pugixml reports it as out of memory
        *budgetLeft -= size;
    }
    return std::malloc(size);
}

void freeCounted(void* pointer) { std::free(pointer); }

} // namespace

XmlMemoryBudget::XmlMemoryBudget(std::size_t bytes) : left_(bytes), previous_(budgetLeft)
{
    static const bool installed = [] {
        pugi::set_memory_management_functions(allocateCounted, freeCounted);
        return true;
    }();
    (void)installed;
    budgetLeft = &left_;
}
XmlMemoryBudget::~XmlMemoryBudget() { budgetLeft = previous_; }

std::string_view localName(const char* name)
{
    const std::string_view full(name);
    const std::size_t colon = full.rfind(':');
    return colon == std::string_view::npos ? full : full.substr(colon + 1);
}

pugi::xml_node childNamed(pugi::xml_node node, std::string_view local)
{
    for (pugi::xml_node child : node.children())
        if (child.type() == pugi::node_element && localName(child.name()) == local) return child;
    return {};
}

pugi::xml_attribute attributeNamed(pugi::xml_node node, std::string_view local)
{
    for (pugi::xml_attribute attribute : node.attributes())
        if (localName(attribute.name()) == local) return attribute;
    return {};
}

bool parseXml(pugi::xml_document& document, const std::string& bytes)
{
    return document.load_buffer(bytes.data(), bytes.size(), pugi::parse_default, pugi::encoding_utf8);
}

std::optional<std::uint64_t> countAttribute(std::string_view text, std::uint64_t limit)
{
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range && end == text.data() + text.size()) return limit;
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return std::min(value, limit);
}

std::optional<double> xmlNumber(std::string_view text)
{
    const std::optional<double> value = parseDecimal(text);
    if (!value || !std::isfinite(*value)) return std::nullopt;
    return value;
}

void putBlockCell(SpreadsheetBlock& block, std::uint64_t row, std::uint64_t column, const std::string& text)
{
    if (row < 1 || row > SpreadsheetRows || column < 1 || column > SpreadsheetColumns) return;
    block[row - 1][column - 1] = firstCharacters(text, CellTextLength);
}

} // namespace calvero
