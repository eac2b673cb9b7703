#include "viewers/ui/exportdialog.h"

#include "common/filewrite.h"
#include "common/numtext.h"
#include "common/outputpaths.h"
#include "exports/curveobjects.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace calvero {

namespace {

// A number typed the Italian way or the English one; nothing for any other text.
std::optional<double> typedNumber(const QLineEdit* edit)
{
    return parseDecimal(commaToPoint(edit->text().trimmed().toStdString()));
}

QLineEdit* shortEdit(const QString& text, QWidget* parent)
{
    auto* edit = new QLineEdit(text, parent);
    edit->setMaximumWidth(160);
    return edit;
}

// The widgets side by side from the left, as one row of the form.
QHBoxLayout* leftAligned(std::initializer_list<QWidget*> widgets)
{
    auto* row = new QHBoxLayout;
    for (QWidget* widget : widgets) row->addWidget(widget);
    row->addStretch(1);
    return row;
}

} // namespace

ExportDialog::ExportDialog(Calculation calculation, const std::string& name, QWidget* parent)
    : QDialog(parent), calculation_(std::move(calculation))
{
    setObjectName(QStringLiteral("exportDialog"));
    setWindowTitle(QStringLiteral("esporta l'equazione"));
    new RoomKeeper(this, [this](const ScreenRoom& room) { layOutForRoom(room); }, RoomKeeper::Showing::ByKeeper);
    const bool surface = calculation_.kind == FitType::SurfaceXY;

    formatChoice_ = new QComboBox(this);
    for (ExportFormat format : ExportFormats)
        formatChoice_->addItem(QString::fromUtf8(exportCaption(format)), static_cast<int>(format));
    nameEdit_ = new QLineEdit(QString::fromStdString(calvero::objectName(name)), this);
    objectChoice_ = new QComboBox(this);
    objectChoice_->addItem(QStringLiteral("quello del tipo di calcolo"), QString());
    for (const CurveObject& object : curveObjects())
        if ((object.inputs == 2) == surface)
            objectChoice_->addItem(QString::fromUtf8(object.type.data(), static_cast<int>(object.type.size())) +
                                       QStringLiteral(" adattato ai punti"),
                                   QString::fromUtf8(object.type.data(), static_cast<int>(object.type.size())));
    objectChoice_->addItem(QStringLiteral("Table:Lookup dei punti"), QString::fromLatin1(LookupTableType));

    ratedCheck_ = new QCheckBox(QStringLiteral("normalizzata a 1 nel punto nominale"), this);
    ratedXEdit_ = shortEdit({}, this);
    ratedYEdit_ = shortEdit({}, this);
    ratedXEdit_->setPlaceholderText(QStringLiteral("x"));
    ratedYEdit_->setPlaceholderText(QStringLiteral("y"));
    QHBoxLayout* rated = leftAligned({ratedCheck_, ratedXEdit_, ratedYEdit_});

    unitChoice_ = new QComboBox(this);
    unitChoice_->addItem(QStringLiteral("°C (EN 12900)"));
    unitChoice_->addItem(QStringLiteral("°F (AHRI 540)"));
    ipChoice_ = new QComboBox(this);
    ipChoice_->addItem(QStringLiteral("nessuna conversione: le unità dei punti"), QString());
    const std::pair<const char*, const char*> ipUnits[] = {
        {"capacity:W", "capacità in W: Btu/h e °F"},       {"capacity:kW", "capacità in kW: Btu/h e °F"},
        {"power:W", "potenza in W: W e °F"},               {"power:kW", "potenza in kW: W e °F"},
        {"massflow:kg/s", "portata in kg/s: lb/h e °F"}, {"massflow:kg/h", "portata in kg/h: lb/h e °F"}};
    for (const auto& [name, caption] : ipUnits) ipChoice_->addItem(QString::fromUtf8(caption), QString::fromLatin1(name));

    xCellEdit_ = shortEdit(QStringLiteral("A2"), this);
    yCellEdit_ = shortEdit(QStringLiteral("B2"), this);
    QHBoxLayout* cells = leftAligned({xCellEdit_, yCellEdit_});
    languageChoice_ = new QComboBox(this);
    languageChoice_->addItem(QStringLiteral("inglese"));
    languageChoice_->addItem(QStringLiteral("italiano"));

    form_ = new QFormLayout;
    form_->addRow(QStringLiteral("formato:"), formatChoice_);
    form_->addRow(QStringLiteral("nome:"), nameEdit_);
    form_->addRow(QStringLiteral("oggetto:"), objectChoice_);
    form_->addRow(QStringLiteral("punto nominale:"), rated);
    form_->addRow(QStringLiteral("temperature dei punti:"), unitChoice_);
    form_->addRow(QStringLiteral("unità IP di AHRI 540:"), ipChoice_);
    form_->addRow(surface ? QStringLiteral("celle di x e y:") : QStringLiteral("cella di x:"), cells);
    form_->addRow(QStringLiteral("formula da copiare:"), languageChoice_);

    preview_ = new QPlainTextEdit(this);
    preview_->setReadOnly(true);
    // A long row (the compressor's ten coefficients, a surface's formula) or
    // a refusal wraps at the edge, inside a word when it has no blank.
    preview_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    preview_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    QFont fixed(QStringLiteral("Courier New"));
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setFixedPitch(true);
    preview_->setFont(fixed);

    saveButton_ = new QPushButton(QStringLiteral("salva su file..."), this);
    copyButton_ = new QPushButton(QStringLiteral("copia negli appunti"), this);
    auto* close = new QPushButton(QStringLiteral("&Uscita"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* button : {saveButton_, copyButton_, close}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form_);
    layout->addWidget(preview_, 1);
    layout->addLayout(buttons);

    connect(formatChoice_, &QComboBox::currentIndexChanged, this, &ExportDialog::refresh);
    connect(objectChoice_, &QComboBox::currentIndexChanged, this, &ExportDialog::refresh);
    connect(unitChoice_, &QComboBox::currentIndexChanged, this, &ExportDialog::refresh);
    connect(ipChoice_, &QComboBox::currentIndexChanged, this, &ExportDialog::refresh);
    connect(languageChoice_, &QComboBox::currentIndexChanged, this, &ExportDialog::refresh);
    connect(ratedCheck_, &QCheckBox::toggled, this, &ExportDialog::refresh);
    for (QLineEdit* edit : {nameEdit_, ratedXEdit_, ratedYEdit_, xCellEdit_, yCellEdit_})
        connect(edit, &QLineEdit::textChanged, this, &ExportDialog::refresh);
    connect(saveButton_, &QPushButton::clicked, this, &ExportDialog::saveToFile);
    connect(copyButton_, &QPushButton::clicked, this, &ExportDialog::copyToClipboard);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    messageSink_ = [this](const QString& text) { QMessageBox::information(this, windowTitle(), text); };
    fileChooser_ = [this](const QString& proposed) {
        return QFileDialog::getSaveFileName(this, QStringLiteral("esporta l'equazione"), proposed);
    };
    confirmation_ = [this](const QString& question) {
        return QMessageBox::question(this, windowTitle(), question, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    };
    refresh();
}

void ExportDialog::layOutForRoom(const ScreenRoom& room) { placeInRoom(this, room, QSize(900, 640)); }

ExportFormat ExportDialog::format() const { return static_cast<ExportFormat>(formatChoice_->currentData().toInt()); }

Checked<ExportChoices> ExportDialog::choices() const
{
    ExportChoices c;
    c.name = nameEdit_->text().toStdString();
    c.units = unitChoice_->currentIndex() == 0 ? TemperatureUnit::Celsius : TemperatureUnit::Fahrenheit;
    c.cells = {xCellEdit_->text().trimmed().toStdString(), yCellEdit_->text().trimmed().toStdString()};
    if (format() == ExportFormat::EnergyPlus) c.object = objectChoice_->currentData().toString().toStdString();
    if (format() == ExportFormat::Ahri540) c.ahriIp = ahriIpNamed(ipChoice_->currentData().toString().toStdString());
    if (format() == ExportFormat::EnergyPlus && ratedCheck_->isChecked()) {
        const std::optional<double> x = typedNumber(ratedXEdit_);
        const std::optional<double> y = typedNumber(ratedYEdit_);
        const bool surface = calculation_.kind == FitType::SurfaceXY;
        if (!x || (surface && !y))
            return failed<ExportChoices>("scrivere il punto nominale: " + std::string(surface ? "x e y" : "x"));
        c.rated = RatedPoint{*x, surface ? y : std::nullopt};
    }
    return succeeded(c);
}

Checked<std::string> ExportDialog::exportedText() const
{
    const Checked<ExportChoices> chosen = choices();
    if (!chosen) return failed<std::string>(chosen.refusal);
    return exportText(format(), calculation_, *chosen);
}

void ExportDialog::refresh()
{
    const ExportFormat f = format();
    form_->setRowVisible(2, f == ExportFormat::EnergyPlus);
    form_->setRowVisible(3, f == ExportFormat::EnergyPlus);
    form_->setRowVisible(4, f == ExportFormat::Ahri540);
    form_->setRowVisible(5, f == ExportFormat::Ahri540);
    form_->setRowVisible(6, f == ExportFormat::Formula);
    form_->setRowVisible(7, f == ExportFormat::Formula);
    // A row shown shows all its boxes: y's only for the surface.
    const bool surface = calculation_.kind == FitType::SurfaceXY;
    ratedYEdit_->setVisible(surface && f == ExportFormat::EnergyPlus);
    yCellEdit_->setVisible(surface && f == ExportFormat::Formula);
    ratedXEdit_->setEnabled(ratedCheck_->isChecked());
    ratedYEdit_->setEnabled(ratedCheck_->isChecked());
    const Checked<std::string> text = exportedText();
    preview_->setPlainText(QString::fromStdString(text ? *text : text.failure()));
    saveButton_->setEnabled(text.value.has_value());
    copyButton_->setEnabled(text.value.has_value());
}

void ExportDialog::saveToFile()
{
    const Checked<std::string> text = exportedText();
    if (!text) return showMessage(QString::fromStdString(text.failure()));
    const QString proposed = QDir::current().filePath(QString::fromStdString(calvero::objectName(nameEdit_->text().toStdString())) +
                                                      "." + exportSuffix(format()));
    const QString path = fileChooser_ ? fileChooser_(proposed) : QString();
    if (path.isEmpty()) return;
    // The file the points came from is written over only when the user says so.
    if (const auto question = overwriteQuestion({QFile::encodeName(path).toStdString()}, sourceFiles_))
        if (!confirmation_ || !confirmation_(QString::fromStdString(*question))) return;
    if (const Failure failure = writeOutputFile(QFile::encodeName(path).toStdString(), *text))
        return showMessage(QString::fromStdString(*failure));
    showMessage(QStringLiteral("esportato nel file: ") + path);
}

void ExportDialog::copyToClipboard()
{
    const bool formula = format() == ExportFormat::Formula;
    const Checked<ExportChoices> chosen = choices();
    const Checked<std::string> text =
        !chosen   ? failed<std::string>(chosen.refusal)
        : formula ? spreadsheetFormula(calculation_, chosen->cells, languageChoice_->currentIndex() == 1)
                  : exportText(format(), calculation_, *chosen);
    if (!text) return showMessage(QString::fromStdString(text.failure()));
    QApplication::clipboard()->setText(QString::fromStdString(*text));
}

void ExportDialog::showMessage(const QString& text)
{
    if (messageSink_) messageSink_(text);
}

} // namespace calvero
