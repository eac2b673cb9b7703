#pragma once
// A PDF read back with Poppler for the window tests: its pages and the words
// on them, gathered into the printed lines they sit on.
#include <poppler-qt6.h>

#include <QString>
#include <QStringList>

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

namespace calvero::testing {

struct PdfWord {
    QString text;
    QRectF box; // points, from the page's top-left corner
};

struct PdfPage {
    QSizeF size; // points
    std::vector<PdfWord> words;
    // The words of each printed line, top to bottom, joined by one blank.
    QStringList lines() const
    {
        std::map<long, std::vector<const PdfWord*>> rows;
        for (const PdfWord& word : words) rows[std::lround(word.box.bottom() * 10)].push_back(&word);
        QStringList result;
        for (auto& [bottom, row] : rows) {
            std::sort(row.begin(), row.end(), [](auto* a, auto* b) { return a->box.left() < b->box.left(); });
            QStringList texts;
            for (const PdfWord* word : row) texts << word->text;
            result << texts.join(' ');
        }
        return result;
    }
};

// The pages of the PDF file; empty when it is not a readable PDF.
inline std::vector<PdfPage> readPdf(const QString& path)
{
    std::vector<PdfPage> pages;
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::load(path);
    if (!document || document->isLocked()) return pages;
    for (int i = 0; i < document->numPages(); ++i) {
        const std::unique_ptr<Poppler::Page> page = document->page(i);
        PdfPage& read = pages.emplace_back();
        read.size = page->pageSizeF();
        for (const auto& box : page->textList()) read.words.push_back({box->text(), box->boundingBox()});
    }
    return pages;
}

} // namespace calvero::testing
