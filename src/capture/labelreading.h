#pragma once
// One curve label read several ways, and the one text taken from them. A
// small label on a scan, or one a grid line runs through, is read now right,
// now with a digit changed ("D=230" as "D=240") or a letter for a digit
// ("D=2d0"), by the same reader on the same picture a little enlarged or
// with the line filled in. So the label is read freely as drawn and with its
// lines filled in, each at two sizes; where no reading is sure and beyond
// dispute, once more on each picture held to the characters its family's
// labels share ("D=" and digits). A number is taken only where the readings
// bear it out: a sure reading no other reading of the family's form
// contradicts nearly as surely, or readings of both pictures agreeing with
// none against. Otherwise the label keeps its doubt, and the other number
// read, to be told. Nothing here reads a picture: the readings come in as
// values, so the judgement is tested without the reader.
#include "capture/textreader.h"

#include <optional>
#include <string>
#include <vector>

namespace calvero::capture {

// Below this confidence a number in a label is as often misread as not
// (a grid line through a 3 is read as a 4).
constexpr double SureReading = 70;

// Where the first number of a label lies. It is broken when a digit follows
// it after a mark or two, or after a lone blank: "D=2C0", "D=2:10", "2 5"
// are misread labels, not the number 2 ("200 m3/h" is whole).
struct NumberSpan {
    std::size_t begin, end;
    bool broken;
};
std::optional<NumberSpan> firstNumber(const std::string& label);

// The number in a label: the first one, with a decimal point or comma, and
// its sign; none when it is broken.
std::optional<double> labelNumber(const std::string& label);

// One reading of the label: its text, how sure the reader was (0 to 100),
// which picture was read (as drawn or with its lines filled in), and
// whether it was held to the family's characters.
struct LabelReading {
    enum class Picture { AsDrawn, LinesFilled };
    std::string text;
    double confidence = 0;
    Picture picture = Picture::AsDrawn;
    bool heldToFamily = false;
};

// The form a label takes around its number ("D=#" for "D=200"), or none
// when it carries no whole number ("D=2d0", "curva").
std::optional<std::string> labelForm(const std::string& label);

// The form most of the labels share, or none when fewer than two share one.
std::optional<std::string> familyForm(const std::vector<std::string>& labels);

// The characters a label of the form may hold, to read it again held to
// them: the form's own (blanks left out) with digits and decimal marks.
std::string familyAlphabet(const std::string& form);

struct LabelVerdict {
    std::string text;
    double confidence = 0;
    // Whether the readings bear the text out; when not, the free readings'
    // best is given, with its own confidence.
    bool settled = false;
    // Another number read in the family's form, when one was.
    std::string alsoRead;
};

// The label from its free readings alone, without a form to hold them to:
// the surest of those whose number is whole.
LabelVerdict bestFreeReading(const std::vector<LabelReading>& readings);

// The label from its readings, judged against the family's form.
LabelVerdict judgeLabel(const std::vector<LabelReading>& readings, const std::string& form);

} // namespace calvero::capture
