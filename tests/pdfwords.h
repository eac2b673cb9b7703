#pragma once
// A PDF read back with Poppler for the window tests: its pages, the words on
// them and the printed lines they make.
#include <poppler-qt6.h>

#include <QStringList>

#include <map>
#include <vector>

namespace calvero::testing {

struct PdfWord {
    QString text;
    QRectF box; // points, from the page's top-left corner
};

struct PdfPage {
    QSizeF size; // points
    std::vector<PdfWord> words;
    // The words of each printed line, top to bottom, joined by one blank
    // (Poppler gives them in reading order).
    QStringList lines() const
    {
        std::map<long, QStringList> rows;
        for (const PdfWord& word : words) rows[std::lround(word.box.bottom() * 10)] << word.text;
        QStringList result;
        for (const auto& [bottom, row] : rows) result << row.join(' ');
        return result;
    }
};

// The pages of the PDF file; none when it is not a readable PDF.
inline std::vector<PdfPage> readPdf(const QString& path)
{
    std::vector<PdfPage> pages;
    const auto document = Poppler::Document::load(path);
    for (int i = 0; document && i < document->numPages(); ++i) {
        const auto page = document->page(i);
        PdfPage& read = pages.emplace_back(PdfPage{page->pageSizeF(), {}});
        for (const auto& box : page->textList()) read.words.push_back({box->text(), box->boundingBox()});
    }
    return pages;
}

} // namespace calvero::testing
