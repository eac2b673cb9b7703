#include "app/ui/TForm2.h"

#include "app/clocktext.h"
#include "app/datasetcommands.h"
#include "app/mainlayout.h"
#include "app/ui/launchers.h"
#include "app/ui/buttonpictures.h"
#include "fit/drivers.h"
#include "fit/session.h"
#include "fit/workingset.h"
#include "viewers/ui/comparisonwindow.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDateTime>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
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

// The long time format of the locale without its time-zone part.
QString longTimeFormat()
{
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    format.remove('t');
    return format.trimmed();
}

const char* const radioItemTexts[] = {"PUNTEGGIATA ",       "POTENZA  ",  "POLINOMIO", "ESPONENZIALE", "POLINOMIO FRATTO",
                                      "CURVA temperatura-tempo ", "polinomio Z=F(x,y)", "curva saturazione"};

} // namespace

TForm2::TForm2(QWidget* parent) : QWidget(parent)
{
    setObjectName("Form2");
    setWindowTitle("PROGRAMMA CALVERO1");
    createControls();
}

void TForm2::createControls()
{
    setFont(mainFont());
    QPalette black = palette();
    black.setColor(QPalette::WindowText, Qt::black);
    setPalette(black);

    Panel1 = new QLabel(this);
    Panel1->setObjectName("Panel1");
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setAlignment(Qt::AlignCenter);

    RadioGroup1 = new QGroupBox("SCELTA INTERPOLAZIONE", this);
    RadioGroup1->setObjectName("RadioGroup1");
    QPalette blue = RadioGroup1->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    blue.setColor(QPalette::ButtonText, Qt::blue);
    RadioGroup1->setPalette(blue);
    radioItems = new QButtonGroup(this);
    for (int i = 0; i < 8; ++i) {
        auto* item = new QRadioButton(QString::fromUtf8(radioItemTexts[i]), RadioGroup1);
        item->setPalette(blue);
        radioItems->addButton(item, i);
    }
    connect(radioItems, &QButtonGroup::idClicked, this, &TForm2::setta_tipo);

    SpinEdit1 = new QSpinBox(this);
    SpinEdit1->setObjectName("SpinEdit1");
    SpinEdit1->setRange(1, 9);
    SpinEdit1->setValue(1);
    SpinEdit1->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);

    Label1 = new QLabel("t iniziale", this);
    Label2 = new QLabel("GRADO ", this);
    Label3 = new QLabel("t finale", this);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName("Edit2");

    auto button = [this](const char* name, const char* caption, QIcon icon, void (TForm2::*command)()) {
        auto* b = new QPushButton(icon, QString::fromUtf8(caption), this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, command] { runCommand([this, command] { (this->*command)(); }); });
        return b;
    };
    BitBtn4 = button("BitBtn4", "&Salva i dati su disco", buttonPicture(ButtonPicture::DiskSave), &TForm2::salva_sudisco);
    BitBtn3 = button("BitBtn3", "&Leggi i dati dal disco", buttonPicture(ButtonPicture::DocumentStar), &TForm2::leggi_filetxt);
    SpeedButton4 = button("SpeedButton4", "&Immissione dati", buttonPicture(ButtonPicture::ArrowIntoList), &TForm2::SpeedButton4Click);
    SpeedButton3 = button("SpeedButton3", "&Esempi", buttonPicture(ButtonPicture::IndexCards), &TForm2::vai_exempi);
    BitBtn5 = button("BitBtn5", "&Cancella i dati", buttonPicture(ButtonPicture::Eraser), &TForm2::azzera_tutto);
    BitBtn2 = button("BitBtn2", "&Calcola", buttonPicture(ButtonPicture::Calculator), &TForm2::CALCOLA);
    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), "&Uscita", this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setAutoDefault(false);
    connect(BitBtn1, &QPushButton::clicked, this, &QWidget::close);
    BitBtn10 = button("BitBtn10", "documentazione", buttonPicture(ButtonPicture::OpenBook), &TForm2::BitBtn10Click);
    BitBtn11 = button("BitBtn11", "cattura punti dal grafico", buttonPicture(ButtonPicture::LineChart), &TForm2::r410);
    BitBtn12 = button("BitBtn12", "sito ventoria", buttonPicture(ButtonPicture::Globe), &TForm2::BitBtn12Click);
    compareButton = button("compareButton", "confronta equazioni", QIcon(), &TForm2::confronta);
    for (QPushButton* b : {BitBtn10, BitBtn11, BitBtn12, compareButton}) b->setVisible(false); // the start-up shows them

    clock_ = new QTimer(this);
    clock_->setInterval(250);
    connect(clock_, &QTimer::timeout, this, &TForm2::appidle);
}

void TForm2::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!started_) INIZIAFORM();
}

void TForm2::INIZIAFORM()
{
    if (started_) return;
    started_ = true;
    Session& s = session();
    s.programFolder = QApplication::applicationDirPath().toStdString() + "/";
    QScreen* screen = this->screen() ? this->screen() : QApplication::primaryScreen();
    const QSize size = screen ? screen->size() : QSize(1024, 768);
    move(0, 0);
    resize(size);
    resetDataSet();
    appidle();
    clock_->start();
    Edit1->clear();
    Edit2->clear();
    layOut(size.width(), size.height());
    for (QPushButton* b : {BitBtn10, BitBtn11, BitBtn12, compareButton}) b->setVisible(true);
}

void TForm2::layOut(int screenWidth, int screenHeight)
{
    const MainWindowLayout l = mainWindowLayout(screenWidth, screenHeight);
    place(Panel1, l.panel1);
    place(BitBtn4, l.bitBtn4);
    place(BitBtn3, l.bitBtn3);
    place(SpeedButton4, l.speedButton4);
    place(SpeedButton3, l.speedButton3);
    place(BitBtn5, l.bitBtn5);
    place(BitBtn2, l.bitBtn2);
    place(BitBtn1, l.bitBtn1);
    place(RadioGroup1, l.radioGroup1);
    place(Label1, l.label1);
    place(Label3, l.label3);
    place(Label2, l.label2);
    place(SpinEdit1, l.spinEdit1);
    place(Edit1, l.edit1);
    place(Edit2, l.edit2);
    place(BitBtn10, l.bitBtn10);
    place(BitBtn11, l.bitBtn11);
    place(BitBtn12, l.bitBtn12);
    place(compareButton, {l.bitBtn12.left, l.bitBtn12.bottom() + 5, l.bitBtn12.width, l.bitBtn12.height});
    // The eight items share the group's height below its caption.
    const int top = 28, rowHeight = (l.radioGroup1.height - top - 4) / 8;
    for (int i = 0; i < 8; ++i) radioItems->button(i)->setGeometry(8, top + i * rowHeight, l.radioGroup1.width - 12, rowHeight);
    for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{BitBtn4, BitBtn3, SpeedButton4, SpeedButton3,
                                                                      BitBtn5, BitBtn2, BitBtn1})
        fitCaption(b, font());
    for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{BitBtn10, BitBtn11, BitBtn12, compareButton})
        fitCaption(b, linkFont());
    for (QAbstractButton* item : radioItems->buttons()) fitCaption(item, RadioGroup1->font());
}

void TForm2::appidle()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale locale = QLocale::system();
    const int dayOfWeek = now.date().dayOfWeek() % 7 + 1; // Qt: Monday 1 .. Sunday 7
    Panel1->setText(QString::fromStdString(clockText(dayOfWeek,
                                                     locale.toString(now.date(), QLocale::ShortFormat).toStdString(),
                                                     locale.toString(now.time(), longTimeFormat()).toStdString())));
}

QString TForm2::clockPanelText() const { return Panel1->text(); }

void TForm2::setta_tipo(int itemIndex) { session().fit.kind = static_cast<FitType>(itemIndex + 1); }

void TForm2::runCommand(const std::function<void()>& command)
{
    try {
        command();
    } catch (const std::exception& error) {
        if (presenter()) presenter()->showMessage(error.what());
    }
}

void TForm2::CALCOLA() { calculate(); }

void TForm2::confronta()
{
    ComparisonWindow window(currentCalculationInput(), this);
    connect(&window, &ComparisonWindow::equationChosen, this, [this](int kind, int degree) {
        setKindItemIndex(kind - 1);
        setDegreeValue(degree);
        // The calculation runs once the comparison window has closed.
        QTimer::singleShot(0, this, [this] { runCommand([] { calculate(); }); });
    });
    window.exec();
}

void TForm2::azzera_tutto() { clearDataSet(); }

void TForm2::SpeedButton4Click()
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
    dialog.setNameFilter("dati (*.txt *.dat)");
    dialog.setDefaultSuffix("dat");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first().toStdString();
}

} // namespace

void TForm2::salva_sudisco()
{
    const std::string path = windows_.askSavePath ? windows_.askSavePath()
                                                  : askDataSetPath(this, "scrive  i dati su disco", QFileDialog::AcceptSave);
    if (path.empty()) return;
    saveDataSet(path);
}

void TForm2::leggi_filetxt()
{
    const std::string path = windows_.askOpenPath ? windows_.askOpenPath()
                                                  : askDataSetPath(this, "legge i dati dal disco", QFileDialog::AcceptOpen);
    if (path.empty()) return;
    readAndCalculate(path);
}

void TForm2::vai_exempi() { runExamples(); }

void TForm2::BitBtn10Click() { calvero::BitBtn10Click(this); }

void TForm2::r410() { calvero::r410(this); }

void TForm2::BitBtn12Click() { calvero::BitBtn12Click(this); }

int TForm2::degreeValue() const { return SpinEdit1->value(); }
void TForm2::setDegreeValue(int value) { SpinEdit1->setValue(value); }

int TForm2::kindItemIndex() const { return radioItems->checkedId(); }

void TForm2::setKindItemIndex(int index)
{
    if (index > 7) index = 7;
    if (index < 0) {
        // No item selected: the group must allow an empty choice for a moment.
        radioItems->setExclusive(false);
        if (auto* checked = radioItems->checkedButton()) checked->setChecked(false);
        radioItems->setExclusive(true);
        return;
    }
    radioItems->button(index)->setChecked(true);
    setta_tipo(index);
}

std::string TForm2::initialTemperatureText() const { return Edit1->text().toStdString(); }
std::string TForm2::finalTemperatureText() const { return Edit2->text().toStdString(); }
void TForm2::setInitialTemperatureText(const std::string& text) { Edit1->setText(QString::fromStdString(text)); }
void TForm2::setFinalTemperatureText(const std::string& text) { Edit2->setText(QString::fromStdString(text)); }

} // namespace calvero
