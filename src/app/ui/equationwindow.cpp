#include "app/ui/equationwindow.h"

#include "app/datasetcommands.h"
#include "app/document.h"
#include "common/numtext.h"
#include "fit/equationparser.h"
#include "fit/equationreport.h"
#include "fit/equationstatistics.h"
#include "graph/fitgraph.h"
#include "graph/ui/showgraphwindow.h"
#include "viewers/ui/reportviewer.h"
#include "viewers/ui/reportwindow.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace calvero {

namespace {

QPushButton* plainButton(const QString& caption, const char* name, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

EquationWindow::EquationWindow(Document& document, ReportViewer& report, GraphWindow& graph, QWidget* parent)
    : QDialog(parent), document_(document), report_(report), graph_(graph)
{
    setObjectName(QStringLiteral("equationWindow"));
    setWindowTitle(QStringLiteral("equazione libera"));
    auto* column = new QVBoxLayout(this);

    auto* typed = new QHBoxLayout;
    typed->addWidget(new QLabel(QStringLiteral("equazione:"), this));
    equationField_ = new QLineEdit(this);
    equationField_->setObjectName(QStringLiteral("equationField"));
    equationField_->setPlaceholderText(QStringLiteral("y = b1*(1-exp(-b2*x))   oppure   z = a + b*x + c*y"));
    typed->addWidget(equationField_, 1);
    column->addLayout(typed);
    mistakeLabel_ = new QLabel(this);
    mistakeLabel_->setObjectName(QStringLiteral("mistakeLabel"));
    mistakeLabel_->setWordWrap(true);
    QPalette red = mistakeLabel_->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    mistakeLabel_->setPalette(red);
    // A line kept for it, so the table does not jump as a mistake comes and goes.
    mistakeLabel_->setMinimumHeight(mistakeLabel_->fontMetrics().height());
    column->addWidget(mistakeLabel_);

    parameterTable_ = new QTableWidget(0, 5, this);
    parameterTable_->setObjectName(QStringLiteral("parameterTable"));
    parameterTable_->setHorizontalHeaderLabels({QStringLiteral("parametro"), QStringLiteral("valore iniziale"),
                                                QStringLiteral("fisso a"), QStringLiteral("minimo"),
                                                QStringLiteral("massimo")});
    parameterTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    parameterTable_->verticalHeader()->setVisible(false);
    column->addWidget(parameterTable_, 1);
    auto* hint = new QLabel(QStringLiteral("valore iniziale vuoto: lo cerca il programma; \"fisso a\", minimo e "
                                           "massimo vuoti: nessun vincolo"),
                            this);
    hint->setWordWrap(true);
    column->addWidget(hint);

    auto* commands = new QHBoxLayout;
    fitButton_ = plainButton(QStringLiteral("&Calcola"), "fitButton", this);
    exitButton_ = plainButton(QStringLiteral("&Uscita"), "exitButton", this);
    commands->addWidget(fitButton_);
    commands->addStretch(1);
    commands->addWidget(exitButton_);
    column->addLayout(commands);

    auto* savedGroup = new QGroupBox(QStringLiteral("equazioni salvate"), this);
    auto* savedColumn = new QVBoxLayout(savedGroup);
    savedList_ = new QListWidget(savedGroup);
    savedList_->setObjectName(QStringLiteral("savedList"));
    savedColumn->addWidget(savedList_, 1);
    auto* savedRow = new QHBoxLayout;
    savedRow->addWidget(new QLabel(QStringLiteral("nome:"), savedGroup));
    nameField_ = new QLineEdit(savedGroup);
    nameField_->setObjectName(QStringLiteral("nameField"));
    savedRow->addWidget(nameField_, 1);
    saveButton_ = plainButton(QStringLiteral("salva"), "saveButton", savedGroup);
    takeBackButton_ = plainButton(QStringLiteral("riprendi"), "takeBackButton", savedGroup);
    deleteButton_ = plainButton(QStringLiteral("elimina"), "deleteButton", savedGroup);
    for (QPushButton* b : {saveButton_, takeBackButton_, deleteButton_}) savedRow->addWidget(b);
    savedColumn->addLayout(savedRow);
    column->addWidget(savedGroup, 1);

    connect(equationField_, &QLineEdit::textChanged, this, &EquationWindow::readTyped);
    connect(equationField_, &QLineEdit::returnPressed, this, &EquationWindow::fit);
    connect(fitButton_, &QPushButton::clicked, this, &EquationWindow::fit);
    connect(exitButton_, &QPushButton::clicked, this, &QDialog::accept);
    connect(saveButton_, &QPushButton::clicked, this, &EquationWindow::saveEquation);
    connect(takeBackButton_, &QPushButton::clicked, this, &EquationWindow::takeBackEquation);
    connect(deleteButton_, &QPushButton::clicked, this, &EquationWindow::deleteEquation);
    connect(savedList_, &QListWidget::itemDoubleClicked, this, &EquationWindow::takeBackEquation);

    resize(760, 560);
    saved_ = readSavedEquations();
    showSaved();
}

void EquationWindow::tell(const std::string& text)
{
    if (messageSink_)
        messageSink_(text);
    else
        QMessageBox::warning(this, QStringLiteral("CALVERO1"), QString::fromStdString(text));
}

std::vector<ParameterCells> EquationWindow::cells() const
{
    std::vector<ParameterCells> rows;
    for (int r = 0; r < parameterTable_->rowCount(); ++r) {
        auto text = [&](int c) {
            const QTableWidgetItem* item = parameterTable_->item(r, c);
            return item ? item->text().toStdString() : std::string();
        };
        rows.push_back({text(NameColumn), text(StartColumn), text(FixedColumn), text(LowerColumn), text(UpperColumn)});
    }
    return rows;
}

void EquationWindow::showParameters(const std::vector<std::string>& names, const std::vector<ParameterCells>& kept)
{
    parameterTable_->setRowCount(static_cast<int>(names.size()));
    for (int r = 0; r < static_cast<int>(names.size()); ++r) {
        const std::string& name = names[static_cast<std::size_t>(r)];
        auto* nameItem = new QTableWidgetItem(QString::fromStdString(name));
        nameItem->setFlags(Qt::ItemIsEnabled);
        parameterTable_->setItem(r, NameColumn, nameItem);
        const ParameterCells* old = cellsNamed(kept, name);
        const std::string values[] = {old ? old->start : "", old ? old->fixed : "", old ? old->lower : "",
                                      old ? old->upper : ""};
        for (int c = StartColumn; c <= UpperColumn; ++c)
            parameterTable_->setItem(r, c, new QTableWidgetItem(QString::fromStdString(values[c - StartColumn])));
    }
}

void EquationWindow::readTyped()
{
    const std::string text = equationField_->text().toStdString();
    if (text.find_first_not_of(" \t") == std::string::npos) {
        mistakeLabel_->clear();
        showParameters({}, {});
        return;
    }
    const Checked<ParsedEquation> equation = readEquation(text);
    if (!equation) {
        // The table stays as it was, so what was written beside the names is not lost to a typing slip.
        mistakeLabel_->setText(QString::fromStdString(equation.failure()));
        return;
    }
    mistakeLabel_->clear();
    showParameters(equation->parameters, cells());
}

void EquationWindow::fit()
{
    const Checked<EquationFit> done =
        fitDocumentEquation(document_, equationField_->text().toStdString(), cells());
    if (!done) return tell(done.failure());
    lastFit_ = *done;
    const std::string caption = pointsCaption(document_);
    ReportContent content;
    content.lines = equationReport(*done);
    content.caption = caption;
    content.sources = {document_.currentDataSetName, document_.importedPointFile};
    content.statistics = statisticsLines(equationStatistics(*done));
    report_.showReport(std::move(content));
    // The graph of an equation of x; the surface's picture is of its polynomials only.
    if (!done->equation.twoVariables) showGraphWindow(graph_, equationGraphData(*done), "file:" + caption);
}

void EquationWindow::showSaved()
{
    savedList_->clear();
    for (const SavedEquationEntry& entry : saved_)
        savedList_->addItem(QString::fromStdString(entry.name + ":  " + entry.equation));
}

void EquationWindow::saveEquation()
{
    const std::string name = nameField_->text().trimmed().toStdString();
    if (name.empty()) return tell("scrivere il nome con cui salvare l'equazione");
    const Checked<ParsedEquation> equation = readEquation(equationField_->text().toStdString());
    if (!equation) return tell(equation.failure());
    SavedEquationEntry entry{name, equationField_->text().toStdString(), cells()};
    const auto same = std::find_if(saved_.begin(), saved_.end(), [&](const SavedEquationEntry& e) { return e.name == name; });
    if (same != saved_.end())
        *same = std::move(entry);
    else
        saved_.push_back(std::move(entry));
    writeSavedEquations(saved_);
    showSaved();
}

void EquationWindow::showEquation(const std::string& text, const std::vector<ParameterCells>& cells)
{
    // The cells given take the place of the table's before the text is read.
    showParameters({}, {});
    equationField_->blockSignals(true);
    equationField_->setText(QString::fromStdString(text));
    equationField_->blockSignals(false);
    const Checked<ParsedEquation> equation = readEquation(text);
    mistakeLabel_->setText(equation ? QString() : QString::fromStdString(equation.failure()));
    if (equation) showParameters(equation->parameters, cells);
}

void EquationWindow::takeBackEquation()
{
    const int row = savedList_->currentRow();
    if (row < 0 || row >= static_cast<int>(saved_.size())) return tell("scegliere nell'elenco l'equazione da riprendere");
    const SavedEquationEntry entry = saved_[static_cast<std::size_t>(row)];
    nameField_->setText(QString::fromStdString(entry.name));
    showEquation(entry.equation, entry.cells);
}

void EquationWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    const auto& held = document_.lastEquation;
    if (!held || held->equation.text == equationField_->text().toStdString()) return;
    const ParameterSettings& s = held->settings;
    auto cell = [](const std::vector<std::optional<double>>& values, std::size_t i) {
        return i < values.size() && values[i] ? shortestText(*values[i]) : std::string();
    };
    std::vector<ParameterCells> cells;
    for (std::size_t i = 0; i < held->equation.parameters.size(); ++i)
        cells.push_back({held->equation.parameters[i], cell(s.start, i), cell(s.fixed, i), cell(s.lower, i),
                         cell(s.upper, i)});
    showEquation(held->equation.text, cells);
}

void EquationWindow::deleteEquation()
{
    const int row = savedList_->currentRow();
    if (row < 0 || row >= static_cast<int>(saved_.size())) return tell("scegliere nell'elenco l'equazione da eliminare");
    saved_.erase(saved_.begin() + row);
    writeSavedEquations(saved_);
    showSaved();
}

} // namespace calvero
