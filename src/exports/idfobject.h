#pragma once
// One object of the building-simulation program's input as the exports build
// it: its type, its fields in the data dictionary's order (name, text as
// written, blank when left out), the comment lines written before it; and
// the two forms the program reads it in: the IDF text (fields ending with
// ',' and the object with ';', each with its "!-" comment) and the epJSON
// document (objects grouped by type and keyed by name, each field under the
// key the program derives from its dictionary name, blank fields left out,
// the repeated fields of an extensible object as one array).
#include <string>
#include <string_view>
#include <vector>

namespace calvero {

struct IdfField {
    std::string name;  // as the data dictionary names it
    std::string text;  // as written; empty: left blank
    bool number = false;
};

struct IdfObject {
    std::vector<std::string> comments; // written as "! " lines before the object (IDF only)
    std::string type;
    std::vector<IdfField> fields; // the first is the object's name
    // An extensible object: fields from this one on repeat, and go into the
    // epJSON array of this key, each as an object of one member.
    std::size_t extensibleFrom = 0;  // 0: none
    std::string extensionKey;        // "values", "independent_variables"
    std::string extensionItemKey;    // "output_value", "value", "independent_variable_name"
    const std::string& name() const { return fields.front().text; }
};

IdfField textField(std::string name, std::string text);
IdfField numberField(std::string name, double value); // every digit of the double
IdfField blankField(std::string name);

// The object as IDF text, its comments first.
std::string idfText(const IdfObject& object);

// The key epJSON gives a dictionary field name: lower case, every run of
// characters other than letters and digits one '_', none at either end
// ("Coefficient3 x**2" is "coefficient3_x_2").
std::string epJsonKey(std::string_view fieldName);

// A document of many objects, written once all are in.
class EpJsonDocument {
public:
    void add(const IdfObject& object);
    bool empty() const { return objects_.empty(); }
    std::string text() const;

private:
    std::vector<IdfObject> objects_;
};

} // namespace calvero
