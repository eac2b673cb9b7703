#include "app/ui/mainwindow.h"

#include "app/clocktext.h"
#include "app/datasetcommands.h"
#include "app/mainlayout.h"
#include "app/ui/launchers.h"
#include "app/ui/buttonpictures.h"
#include "app/ui/fitoptionswindow.h"
#include "app/calculatecommand.h"
#include "app/document.h"
#include "entry/importcommand.h"
#include "fit/dataset.h"
#include "viewers/ui/comparisonwindow.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDateTime>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QSpinBox>
#include <QStyle>
#include <QTimer>

#include <exception>

namespace calvero {

namespace {

QFont mainFont()
{
    QFont font("Verdana");
    font.setItalic(true);
    font.setPixelSize(19);
    return font;
}

QFont linkFont()
{
    QFont font("Verdana");
    font.setPointSize(12);
    return font;
}

void place(QWidget* widget, const ControlRect& r) { widget->setGeometry(r.left, r.top, r.width, r.height); }

// On a small screen a caption that the button would cut gets a smaller font,
// down to one that still reads.
void fitCaption(QAbstractButton* button, QFont font)
{
    const bool inPixels = font.pixelSize() > 0;
    auto size = [&] { return inPixels ? font.pixelSize() : font.pointSizeF(); };
    button->setFont(font);
    while (button->sizeHint().width() > button->width() && size() > 8) {
        if (inPixels)
            font.setPixelSize(font.pixelSize() - 1);
        else
            font.setPointSizeF(font.pointSizeF() - 0.5);
        button->setFont(font);
    }
}

// What the next calculation fits, before its options: "POLINOMIO, grado 7; "
// (nothing when no kind is chosen).
std::string choiceLine(FitType kind, int degree)
{
    const std::string label = kindLabel(kind);
    if (label.empty()) return {};
    return label + (takesDegree(kind) ? ", grado " + std::to_string(degree) : "") + "; ";
}

// The long time format of the locale without its time-zone part.
QString longTimeFormat()
{
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    format.remove('t');
    return format.trimmed();
}

} // namespace

MainWindow::MainWindow(QWidget* parent) : QWidget(parent)
{
    setObjectName("mainWindow");
    setWindowTitle("PROGRAMMA CALVERO1");
    createControls();
}

void MainWindow::createControls()
{
    setFont(mainFont());
    QPalette black = palette();
    black.setColor(QPalette::WindowText, Qt::black);
    setPalette(black);

    clockPanel_ = new QLabel(this);
    clockPanel_->setObjectName("clockPanel");
    clockPanel_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    clockPanel_->setAlignment(Qt::AlignCenter);

    kindGroup_ = new QGroupBox("SCELTA INTERPOLAZIONE", this);
    kindGroup_->setObjectName("kindGroup");
    QPalette blue = kindGroup_->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    blue.setColor(QPalette::ButtonText, Qt::blue);
    kindGroup_->setPalette(blue);
    kindButtons_ = new QButtonGroup(this);
    for (int i = 0; i < 8; ++i) {
        auto* item = new QRadioButton(QString::fromStdString(kindCaption(static_cast<FitType>(i + 1))), kindGroup_);
        item->setPalette(blue);
        kindButtons_->addButton(item, i);
    }
    connect(kindButtons_, &QButtonGroup::idClicked, this, &MainWindow::chooseKind);

    degreeBox_ = new QSpinBox(this);
    degreeBox_->setObjectName("degreeBox");
    degreeBox_->setRange(1, 9);
    degreeBox_->setValue(1);
    degreeBox_->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    connect(degreeBox_, &QSpinBox::valueChanged, this, &MainWindow::showOptionsLine);

    initialTemperatureLabel_ = new QLabel("t iniziale", this);
    degreeLabel_ = new QLabel("GRADO ", this);
    finalTemperatureLabel_ = new QLabel("t finale", this);
    initialTemperatureField_ = new QLineEdit(this);
    initialTemperatureField_->setObjectName("initialTemperatureField");
    finalTemperatureField_ = new QLineEdit(this);
    finalTemperatureField_->setObjectName("finalTemperatureField");

    auto button = [this](const char* name, const char* caption, QIcon icon, void (MainWindow::*command)()) {
        auto* b = new QPushButton(icon, QString::fromUtf8(caption), this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, command] { runCommand([this, command] { (this->*command)(); }); });
        return b;
    };
    saveButton_ = button("saveButton", "&Salva i dati su disco", buttonPicture(ButtonPicture::DiskSave),
                         &MainWindow::saveDataSet);
    readButton_ = button("readButton", "&Leggi i dati dal disco", buttonPicture(ButtonPicture::DocumentStar),
                         &MainWindow::readDataSet);
    pointEntryButton_ = button("pointEntryButton", "&Immissione dati", buttonPicture(ButtonPicture::ArrowIntoList),
                               &MainWindow::showPointEntry);
    examplesButton_ = button("examplesButton", "&Esempi", buttonPicture(ButtonPicture::IndexCards),
                             &MainWindow::runExamples);
    clearButton_ = button("clearButton", "&Cancella i dati", buttonPicture(ButtonPicture::Eraser),
                          &MainWindow::clearData);
    calculateButton_ = button("calculateButton", "&Calcola", buttonPicture(ButtonPicture::Calculator),
                              &MainWindow::calculate);
    exitButton_ = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), "&Uscita", this);
    exitButton_->setObjectName("exitButton");
    exitButton_->setAutoDefault(false);
    connect(exitButton_, &QPushButton::clicked, this, &QWidget::close);
    documentationButton_ = button("documentationButton", "documentazione", buttonPicture(ButtonPicture::OpenBook),
                                  &MainWindow::showDocumentation);
    captureButton_ = button("captureButton", "cattura punti dal grafico", buttonPicture(ButtonPicture::LineChart),
                            &MainWindow::startCapture);
    webSiteButton_ = button("webSiteButton", "sito ventoria", buttonPicture(ButtonPicture::Globe),
                            &MainWindow::openWebSite);
    // The start-up shows them.
    compareButton_ = button("compareButton", "confronta equazioni", QIcon(), &MainWindow::compareEquations);
    fitOptionsButton_ = button("fitOptionsButton", "vincoli", QIcon(), &MainWindow::editFitOptions);
    equationButton_ = button("equationButton", "equazione libera…", QIcon(), &MainWindow::showEquationWindow);
    for (QPushButton* b : {documentationButton_, captureButton_, webSiteButton_, compareButton_, fitOptionsButton_, equationButton_})
        b->setVisible(false);
    optionsLine_ = new QLabel(this);
    optionsLine_->setObjectName("optionsLine");
    optionsLine_->setWordWrap(true);
    optionsLine_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    roomKeeper_ = new RoomKeeper(this, [this](const ScreenRoom& room) { layOutForRoom(room); });

    clock_ = new QTimer(this);
    clock_->setInterval(250);
    connect(clock_, &QTimer::timeout, this, &MainWindow::updateClock);
}

void MainWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!started_) start();
}

void MainWindow::start()
{
    if (started_) return;
    started_ = true;
    document_->programFolder = QApplication::applicationDirPath().toStdString() + "/";
    resetDataSet(workspace());
    updateClock();
    clock_->start();
    initialTemperatureField_->clear();
    finalTemperatureField_->clear();
    roomKeeper_->showing();
    for (QPushButton* b : {documentationButton_, captureButton_, webSiteButton_, compareButton_, fitOptionsButton_, equationButton_})
        b->setVisible(true);
    showOptionsLine();
}

void MainWindow::layOutForRoom(const ScreenRoom& room)
{
    fillRoom(this, room);
    layOut(room.inside().width(), room.inside().height());
}

void MainWindow::layOut(int screenWidth, int screenHeight)
{
    const MainWindowLayout l = mainWindowLayout(screenWidth, screenHeight);
    place(clockPanel_, l.clockPanel);
    place(saveButton_, l.saveButton);
    place(readButton_, l.readButton);
    place(pointEntryButton_, l.pointEntryButton);
    place(examplesButton_, l.examplesButton);
    place(clearButton_, l.clearButton);
    place(calculateButton_, l.calculateButton);
    place(exitButton_, l.exitButton);
    place(kindGroup_, l.kindGroup);
    place(initialTemperatureLabel_, l.initialTemperatureLabel);
    place(finalTemperatureLabel_, l.finalTemperatureLabel);
    place(degreeLabel_, l.degreeLabel);
    place(degreeBox_, l.degreeBox);
    place(initialTemperatureField_, l.initialTemperatureField);
    place(finalTemperatureField_, l.finalTemperatureField);
    place(documentationButton_, l.documentationButton);
    place(captureButton_, l.captureButton);
    place(webSiteButton_, l.webSiteButton);
    const ControlRect compare{l.webSiteButton.left, l.webSiteButton.bottom() + 5, l.webSiteButton.width,
                              l.webSiteButton.height};
    place(compareButton_, compare);
    const ControlRect options{compare.left, compare.bottom() + 5, compare.width, compare.height};
    place(fitOptionsButton_, options);
    place(equationButton_, {options.left, options.bottom() + 5, options.width, options.height});
    // The options line under the degree, as wide as the screen leaves, two lines high.
    place(optionsLine_, {l.degreeLabel.left, l.degreeLabel.bottom() + 5, screenWidth - l.degreeLabel.left - 10,
                         2 * l.degreeLabel.height});
    // The eight items share the group's height below its caption.
    const int top = 28, rowHeight = (l.kindGroup.height - top - 4) / 8;
    for (int i = 0; i < 8; ++i)
        kindButtons_->button(i)->setGeometry(8, top + i * rowHeight, l.kindGroup.width - 12, rowHeight);
    for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{saveButton_, readButton_, pointEntryButton_,
                                                                      examplesButton_, clearButton_, calculateButton_,
                                                                      exitButton_})
        fitCaption(b, font());
    for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{documentationButton_, captureButton_,
                                                                      webSiteButton_, compareButton_, fitOptionsButton_, equationButton_})
        fitCaption(b, linkFont());
    optionsLine_->setFont(linkFont());
    for (QAbstractButton* item : kindButtons_->buttons()) fitCaption(item, kindGroup_->font());
}

void MainWindow::updateClock()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale locale = QLocale::system();
    const int dayOfWeek = now.date().dayOfWeek() % 7 + 1; // Qt: Monday 1 .. Sunday 7
    clockPanel_->setText(QString::fromStdString(clockText(dayOfWeek,
                                                     locale.toString(now.date(), QLocale::ShortFormat).toStdString(),
                                                     locale.toString(now.time(), longTimeFormat()).toStdString())));
}

QString MainWindow::clockPanelText() const { return clockPanel_->text(); }

void MainWindow::chooseKind(int itemIndex)
{
    document_->kind = static_cast<FitType>(itemIndex + 1);
    showOptionsLine();
}

void MainWindow::setDocument(Document& document, Presenter* presenter)
{
    document_ = &document;
    presenter_ = presenter;
}

Workspace MainWindow::workspace() { return Workspace{*document_, *this, presenter_}; }

void MainWindow::runCommand(const std::function<void()>& command)
{
    try {
        command();
    } catch (const std::exception& error) {
        workspace().tell(std::string(error.what()));
    }
    // A data set read, the examples or a reset may have changed the options.
    showOptionsLine();
}

void MainWindow::showOptionsLine()
{
    if (!document_ || !optionsLine_) return;
    const std::string options = calvero::optionsLine(document_->options, document_->kind);
    optionsLine_->setText(QString::fromStdString(
        choiceLine(document_->kind, degreeBox_->value()) + (options.empty() ? "vincoli: nessuno (minimi quadrati)" : options)));
}

void MainWindow::editFitOptions()
{
    FitOptionsWindow window(document_->options, document_->kind, this);
    if (window.exec() != QDialog::Accepted) return;
    document_->options = window.options();
}

void MainWindow::showEquationWindow()
{
    if (windows_.showEquationWindow) windows_.showEquationWindow();
}

void MainWindow::calculate() { workspace().tell(calvero::calculate(workspace())); }

void MainWindow::clearData() { clearDataSet(workspace()); }

void MainWindow::showPointEntry()
{
    if (windows_.showPointEntry) windows_.showPointEntry();
}

namespace {

// The data set file dialogs: one filter, "dat" added to a name typed without extension.
std::string askDataSetPath(QWidget* parent, const char* title, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, QString::fromUtf8(title));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters({"dati (*.txt *.dat)", "tutti i file (*)"});
    dialog.setDefaultSuffix("dat");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first().toStdString();
}

} // namespace

void MainWindow::saveDataSet() { saveThroughDialog(); }

bool MainWindow::saveThroughDialog()
{
    const std::string path = windows_.askSavePath ? windows_.askSavePath()
                                                  : askDataSetPath(this, "scrive  i dati su disco", QFileDialog::AcceptSave);
    if (path.empty()) return false;
    // The point file the points were imported from is replaced only when the user says so.
    if (const auto question = saveOverImportQuestion(*document_, path))
        if (ask(*question, false) != Answer::Yes) return false;
    const Failure failure = calvero::saveDataSet(workspace(), path);
    workspace().tell(failure);
    return !failure;
}

void MainWindow::readDataSet()
{
    const std::string path = windows_.askOpenPath ? windows_.askOpenPath()
                                                  : askDataSetPath(this, "legge i dati dal disco", QFileDialog::AcceptOpen);
    if (path.empty()) return;
    // A point file chosen here is what "calvero1 FILE" imports: offer that instead of a refusal.
    if (holdsPointsOnly(path)) {
        if (ask(importInsteadQuestion(path), false) != Answer::Yes) return;
        const Failure said = importPoints(workspace(), path);
        workspace().tell(said);
        if (importReplacedPoints(said)) showPointEntry();
        return;
    }
    workspace().tell(readAndCalculate(workspace(), path));
}

MainWindow::Answer MainWindow::ask(const std::string& question, bool offerCancel)
{
    if (windows_.ask) return windows_.ask(question, offerCancel);
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    if (offerCancel) buttons |= QMessageBox::Cancel;
    const auto answer = QMessageBox::question(this, "CALVERO1", QString::fromStdString(question), buttons);
    return answer == QMessageBox::Yes ? Answer::Yes : answer == QMessageBox::No ? Answer::No : Answer::Cancel;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (document_ && hasUnsavedData(workspace())) {
        const Answer answer = ask("Salvare i dati prima di uscire?", true);
        if (answer == Answer::Cancel || (answer == Answer::Yes && !saveThroughDialog())) {
            event->ignore();
            return;
        }
    }
    QWidget::closeEvent(event);
}

void MainWindow::openFile(const std::string& path)
{
    runCommand([this, path] {
        const bool points = holdsPointsOnly(path);
        const Failure said = calvero::openFile(workspace(), path);
        workspace().tell(said);
        // Imported points are shown where they can be checked before a calculation.
        if (points && importReplacedPoints(said)) showPointEntry();
    });
}

void MainWindow::runExamples() { workspace().tell(calvero::runExamples(workspace())); }

void MainWindow::showDocumentation() { calvero::openDocumentation(this, workspace()); }

void MainWindow::startCapture() { workspace().tell(calvero::launchCaptureTool(workspace(), captureInbox_)); }

void MainWindow::setCaptureInbox(const QString& name) { captureInbox_ = name; }

void MainWindow::openWebSite() { calvero::openMakerWebSite(this, workspace()); }

void MainWindow::compareEquations()
{
    const Checked<CalculationInput> input = currentCalculationInput(workspace());
    if (!input) return workspace().tell(input.failure());
    ComparisonWindow window(*input, this);
    connect(&window, &ComparisonWindow::equationChosen, this, [this](int kind, int degree) {
        setKindItemIndex(kind - 1);
        setDegreeValue(degree);
        // The calculation runs once the comparison window has closed.
        QTimer::singleShot(0, this, [this] { runCommand([this] { calculate(); }); });
    });
    window.exec();
}

int MainWindow::degreeValue() const { return degreeBox_->value(); }
void MainWindow::setDegreeValue(int value) { degreeBox_->setValue(value); }

int MainWindow::kindItemIndex() const { return kindButtons_->checkedId(); }

void MainWindow::setKindItemIndex(int index)
{
    if (index > 7) index = 7;
    if (index < 0) {
        // No item selected: the group must allow an empty choice for a moment.
        kindButtons_->setExclusive(false);
        if (auto* checked = kindButtons_->checkedButton()) checked->setChecked(false);
        kindButtons_->setExclusive(true);
        return;
    }
    kindButtons_->button(index)->setChecked(true);
    chooseKind(index);
}

std::string MainWindow::initialTemperatureText() const { return initialTemperatureField_->text().toStdString(); }
std::string MainWindow::finalTemperatureText() const { return finalTemperatureField_->text().toStdString(); }
void MainWindow::setInitialTemperatureText(const std::string& text)
{
    initialTemperatureField_->setText(QString::fromStdString(text));
}
void MainWindow::setFinalTemperatureText(const std::string& text)
{
    finalTemperatureField_->setText(QString::fromStdString(text));
}

} // namespace calvero
