#include "capture/ui/axesconfirmdialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace calvero {

namespace {

// Tesseract's word confidence above these is a sure and a likely reading.
constexpr double SureReading = 85;
constexpr double LikelyReading = 60;

} // namespace

QColor confidenceColour(double confidence)
{
    if (confidence >= SureReading) return QColor(200, 240, 200);
    if (confidence >= LikelyReading) return QColor(255, 240, 176);
    return QColor(248, 200, 200);
}

AxesConfirmDialog::AxesConfirmDialog(const std::array<ReadReference, 4>& read, const QString& scales, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("assi letti dai numeri"));
    new RoomKeeper(this, [this](const ScreenRoom& room) { layOutForRoom(room); }, RoomKeeper::Showing::ByKeeper);
    auto* column = new QVBoxLayout(this);
    auto* intro = new QLabel(QStringLiteral("Valori letti alle tacche segnate sull'immagine (%1).\n"
                                            "Verde: letti con sicurezza; giallo: incerti; rosso: dubbi. "
                                            "Controllarli e correggerli se serve.")
                                 .arg(scales));
    intro->setWordWrap(true);
    column->addWidget(intro);
    auto* form = new QFormLayout;
    for (std::size_t i = 0; i < read.size(); ++i) {
        fields_[i] = new QLineEdit(read[i].value);
        fields_[i]->setObjectName(read[i].label);
        QPalette palette = fields_[i]->palette();
        palette.setColor(QPalette::Base, confidenceColour(read[i].confidence));
        palette.setColor(QPalette::Text, Qt::black);
        fields_[i]->setPalette(palette);
        fields_[i]->setToolTip(QStringLiteral("sicurezza della lettura: %1 su 100").arg(qRound(read[i].confidence)));
        form->addRow(read[i].label, fields_[i]);
    }
    column->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
}

void AxesConfirmDialog::layOutForRoom(const ScreenRoom& room) { placeInRoom(this, room, sizeHint()); }

std::array<QString, 4> AxesConfirmDialog::values() const
{
    std::array<QString, 4> values;
    for (std::size_t i = 0; i < fields_.size(); ++i) values[i] = fields_[i]->text();
    return values;
}

} // namespace calvero
