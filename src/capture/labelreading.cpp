#include "capture/labelreading.h"

#include "common/numtext.h"

#include <algorithm>
#include <map>

namespace calvero::capture {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A reading sure enough is contradicted only by another of the family's
// form read nearly as surely: this many points of confidence below it.
constexpr double ClearLead = 20;

struct FormReading {
    const LabelReading* reading;
    double number;
};

// The readings in the family's form, with their numbers, surest first.
std::vector<FormReading> inForm(const std::vector<LabelReading>& readings, const std::string& form)
{
    std::vector<FormReading> found;
    for (const LabelReading& r : readings) {
        const std::optional<double> number = labelNumber(r.text);
        if (number && labelForm(r.text) == form) found.push_back({&r, *number});
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const FormReading& a, const FormReading& b) { return a.reading->confidence > b.reading->confidence; });
    return found;
}

} // namespace

std::optional<NumberSpan> firstNumber(const std::string& label)
{
    constexpr int LongestBreak = 2;
    const auto begin = std::find_if(label.begin(), label.end(), isDigit);
    if (begin == label.end()) return std::nullopt;
    std::size_t end = static_cast<std::size_t>(begin - label.begin());
    while (end < label.size() && (isDigit(label[end]) || ((label[end] == '.' || label[end] == ',') &&
                                                          end + 1 < label.size() && isDigit(label[end + 1]))))
        ++end;
    std::size_t next = end;
    if (next < label.size() && label[next] == ' ') {
        ++next;
    } else {
        while (next < label.size() && next - end < LongestBreak && label[next] != ' ' && !isDigit(label[next])) ++next;
    }
    const bool broken = next > end && next < label.size() && isDigit(label[next]);
    return NumberSpan{static_cast<std::size_t>(begin - label.begin()), end, broken};
}

std::optional<double> labelNumber(const std::string& label)
{
    const std::optional<NumberSpan> span = firstNumber(label);
    if (!span || span->broken) return std::nullopt;
    const std::size_t i = span->begin;
    const bool negative = i > 0 && label[i - 1] == '-' && (i == 1 || label[i - 2] == ' ' || label[i - 2] == '=');
    std::string digits = label.substr(i, span->end - i);
    std::replace(digits.begin(), digits.end(), ',', '.');
    const std::optional<double> value = parseDecimal(digits);
    if (!value) return std::nullopt;
    return negative ? -*value : *value;
}

std::optional<std::string> labelForm(const std::string& label)
{
    const std::optional<NumberSpan> span = firstNumber(label);
    if (!span || span->broken) return std::nullopt;
    return label.substr(0, span->begin) + "#" + label.substr(span->end);
}

std::optional<std::string> familyForm(const std::vector<std::string>& labels)
{
    std::map<std::string, int> counts;
    for (const std::string& label : labels)
        if (const std::optional<std::string> form = labelForm(label)) ++counts[*form];
    const auto most = std::max_element(counts.begin(), counts.end(),
                                       [](const auto& a, const auto& b) { return a.second < b.second; });
    if (most == counts.end() || most->second < 2) return std::nullopt;
    return most->first;
}

std::string familyAlphabet(const std::string& form)
{
    std::string alphabet = "0123456789.,";
    for (char c : form)
        if (c != '#' && c != ' ' && alphabet.find(c) == std::string::npos) alphabet += c;
    return alphabet;
}

LabelVerdict bestFreeReading(const std::vector<LabelReading>& readings)
{
    // A whole number before a broken one, then the surer.
    const auto worth = [](const LabelReading& r) {
        const std::optional<NumberSpan> span = firstNumber(r.text);
        return (span && span->broken ? 0.0 : 1000.0) + r.confidence;
    };
    const LabelReading* best = nullptr;
    for (const LabelReading& r : readings)
        if (!r.heldToFamily && !r.text.empty() && (!best || worth(r) > worth(*best))) best = &r;
    if (!best) return {};
    return {best->text, best->confidence, false, {}};
}

LabelVerdict judgeLabel(const std::vector<LabelReading>& readings, const std::string& form)
{
    const std::vector<FormReading> all = inForm(readings, form);
    std::vector<FormReading> free;
    std::copy_if(all.begin(), all.end(), std::back_inserter(free), [](const FormReading& f) { return !f.reading->heldToFamily; });
    if (free.empty()) return bestFreeReading(readings);
    const FormReading& top = free.front();
    // The surest other number read freely; a reading held to the family's
    // characters has no confidence worth weighing, only its number.
    const auto other = std::find_if(free.begin(), free.end(), [&](const FormReading& f) { return f.number != top.number; });
    if (top.reading->confidence >= SureReading &&
        (other == free.end() || other->reading->confidence <= top.reading->confidence - ClearLead))
        return {top.reading->text, top.reading->confidence, true, {}};
    // Not sure alone: every reading of the form one number, and both
    // pictures held to the family's characters read it too.
    const bool oneNumber = std::all_of(all.begin(), all.end(), [&](const FormReading& f) { return f.number == top.number; });
    const auto heldOn = [&](LabelReading::Picture picture) {
        return std::any_of(all.begin(), all.end(),
                           [&](const FormReading& f) { return f.reading->heldToFamily && f.reading->picture == picture; });
    };
    if (oneNumber && heldOn(LabelReading::Picture::AsDrawn) && heldOn(LabelReading::Picture::LinesFilled))
        return {top.reading->text, std::max(top.reading->confidence, SureReading), true, {}};
    const auto against = std::find_if(all.begin(), all.end(), [&](const FormReading& f) { return f.number != top.number; });
    return {top.reading->text, top.reading->confidence, false, against == all.end() ? std::string() : against->reading->text};
}

} // namespace calvero::capture
