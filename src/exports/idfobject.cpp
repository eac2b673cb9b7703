#include "exports/idfobject.h"

#include "common/numtext.h"

#include <algorithm>
#include <cctype>

namespace calvero {

namespace {

// A field's line: four blanks, the value and its end, the "!-" comment from
// column 35 (or one blank after a longer value).
std::string fieldLine(const std::string& value, char end, const std::string& comment)
{
    std::string text = "    " + value + end;
    text.append(text.size() < 34 ? 34 - text.size() : 1, ' ');
    return text + "!- " + comment + "\n";
}

std::string jsonString(std::string_view text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') quoted += '\\';
        if (static_cast<unsigned char>(c) < 0x20) {
            static const char Hex[] = "0123456789abcdef";
            quoted += "\\u00";
            quoted += Hex[(c >> 4) & 0xF];
            quoted += Hex[c & 0xF];
            continue;
        }
        quoted += c;
    }
    return quoted + "\"";
}

std::string jsonValue(const IdfField& field) { return field.number ? field.text : jsonString(field.text); }

// The object's fields under their keys, indented to its depth; the repeated
// fields as an array of one-key objects.
std::string jsonFields(const IdfObject& object)
{
    std::vector<std::string> members;
    const std::size_t fixed = object.extensibleFrom == 0 ? object.fields.size() : object.extensibleFrom;
    for (std::size_t k = 1; k < fixed && k < object.fields.size(); ++k) {
        const IdfField& field = object.fields[k];
        if (!field.text.empty()) members.push_back("            " + jsonString(epJsonKey(field.name)) + ": " + jsonValue(field));
    }
    if (object.extensibleFrom != 0) {
        std::string items;
        for (std::size_t k = fixed; k < object.fields.size(); ++k) {
            const IdfField& field = object.fields[k];
            items += (items.empty() ? "\n" : ",\n") + std::string("                {") + jsonString(object.extensionItemKey) + ": " +
                     jsonValue(field) + "}";
        }
        members.push_back("            " + jsonString(object.extensionKey) + ": [" + items + "\n            ]");
    }
    std::string text;
    for (std::size_t k = 0; k < members.size(); ++k) text += members[k] + (k + 1 < members.size() ? ",\n" : "\n");
    return text;
}

} // namespace

IdfField textField(std::string name, std::string text) { return {std::move(name), std::move(text), false}; }
IdfField numberField(std::string name, double value) { return {std::move(name), shortestText(value), true}; }
IdfField blankField(std::string name) { return {std::move(name), {}, false}; }

std::string idfText(const IdfObject& object)
{
    std::string text;
    for (const std::string& comment : object.comments) text += "! " + comment + "\n";
    text += object.type + ",\n";
    for (std::size_t k = 0; k < object.fields.size(); ++k)
        text += fieldLine(object.fields[k].text, k + 1 < object.fields.size() ? ',' : ';', object.fields[k].name);
    return text;
}

std::string epJsonKey(std::string_view fieldName)
{
    std::string key;
    bool gap = false;
    for (const char c : fieldName) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            if (gap && !key.empty()) key += '_';
            key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            gap = false;
        } else {
            gap = true;
        }
    }
    return key;
}

void EpJsonDocument::add(const IdfObject& object) { objects_.push_back(object); }

std::string EpJsonDocument::text() const
{
    // Grouped by type, the types in the order they first come.
    std::vector<std::string> types;
    for (const IdfObject& object : objects_)
        if (std::find(types.begin(), types.end(), object.type) == types.end()) types.push_back(object.type);
    std::string text = "{\n";
    for (std::size_t t = 0; t < types.size(); ++t) {
        text += "    " + jsonString(types[t]) + ": {\n";
        bool first = true;
        for (const IdfObject& object : objects_) {
            if (object.type != types[t]) continue;
            text += std::string(first ? "" : ",\n") + "        " + jsonString(object.name()) + ": {\n" + jsonFields(object) +
                    "        }";
            first = false;
        }
        text += std::string("\n    }") + (t + 1 < types.size() ? ",\n" : "\n");
    }
    return text + "}\n";
}

} // namespace calvero
