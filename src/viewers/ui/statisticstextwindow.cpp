#include "viewers/ui/statisticstextwindow.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace calvero {

StatisticsTextWindow::StatisticsTextWindow(std::vector<std::string> lines, QWidget* parent)
    : FiguresWindow(parent), lines_(std::move(lines))
{
    setObjectName(QStringLiteral("StatisticsTextWindow"));
    setWindowTitle(QStringLiteral("statistiche dell'adattamento"));
    text_ = new QPlainTextEdit(this);
    text_->setReadOnly(true);
    // Long lines wrap, so that nothing hides at 800 x 600; printing and copying keep them whole.
    text_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    text_->setFont(fixedFont());
    QStringList shown;
    for (const std::string& line : lines_) shown << QString::fromStdString(line);
    text_->setPlainText(shown.join(QLatin1Char('\n')));
    body->addWidget(text_, 1);
}

} // namespace calvero
