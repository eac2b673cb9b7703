#include "app/ui/fitoptionswindow.h"

#include "app/fitoptionsform.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace calvero {

namespace {

QTableWidget* table(QWidget* parent, const QStringList& headers)
{
    auto* t = new QTableWidget(FormRows, static_cast<int>(headers.size()), parent);
    t->setHorizontalHeaderLabels(headers);
    t->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    t->verticalHeader()->setVisible(false);
    t->setMinimumHeight(t->horizontalHeader()->height() + FormRows * t->verticalHeader()->defaultSectionSize() + 4);
    return t;
}

QString cellText(const QTableWidget* t, int row, int column)
{
    const QTableWidgetItem* item = t->item(row, column);
    return item ? item->text() : QString();
}

void setCell(QTableWidget* t, int row, int column, const std::string& text)
{
    t->setItem(row, column, new QTableWidgetItem(QString::fromStdString(text)));
}

QGroupBox* group(const char* title, QLayout* layout, QWidget* parent)
{
    auto* box = new QGroupBox(QString::fromUtf8(title), parent);
    box->setLayout(layout);
    return box;
}

} // namespace

void FitOptionsWindow::layOutForRoom(const ScreenRoom& room) { placeInRoom(this, room, sizeHint()); }

FitOptionsWindow::FitOptionsWindow(const FitOptions& options, FitType kind, QWidget* parent)
    : QDialog(parent), options_(options), kind_(kind), pointWeights_(options.pointWeights)
{
    setObjectName(QStringLiteral("FitOptionsWindow"));
    setWindowTitle(QStringLiteral("vincoli"));
    new RoomKeeper(this, [this](const ScreenRoom& room) { layOutForRoom(room); }, RoomKeeper::Showing::ByKeeper);
    const bool surface = kind == FitType::SurfaceXY;
    const QString value = surface ? QStringLiteral("z") : QStringLiteral("y");
    auto* layout = new QVBoxLayout(this);

    auto* explanation = new QLabel(
        QString::fromUtf8("Punti di passaggio, termini fissi e pesi valgono per POLINOMIO, POLINOMIO FRATTO e polinomio "
                          "Z=F(x,y); il minimo errore massimo per POLINOMIO e polinomio Z=F(x,y); la curva monotona, "
                          "concava o convessa per POLINOMIO. Si salvano con i dati, nel file NOME.vincoli.json accanto al file dei dati."),
        this);
    explanation->setWordWrap(true);
    layout->addWidget(explanation);

    auto* tables = new QHBoxLayout;
    throughTable_ = table(this, surface ? QStringList{"x", "y", "z"} : QStringList{"x", "y"});
    throughTable_->setObjectName(QStringLiteral("throughTable"));
    auto* throughLayout = new QVBoxLayout;
    throughLayout->addWidget(throughTable_);
    tables->addWidget(group("punti di passaggio (la curva passa per ciascuno)", throughLayout, this));
    fixedTable_ = table(this, {QStringLiteral("termine nr"), QStringLiteral("valore")});
    fixedTable_->setObjectName(QStringLiteral("fixedTable"));
    auto* fixedLayout = new QVBoxLayout;
    fixedLayout->addWidget(fixedTable_);
    tables->addWidget(group("termini fissi (numerati come nel rapporto)", fixedLayout, this));
    layout->addLayout(tables);

    auto* weights = new QVBoxLayout;
    noWeights_ = new QRadioButton(QStringLiteral("nessuno (minimi quadrati)"), this);
    relativeWeights_ = new QRadioButton(QString::fromUtf8("relativi 1/") + value + QString::fromUtf8("²: contano gli errori percentuali"), this);
    columnWeights_ = new QRadioButton(QStringLiteral("dal file dei punti (colonna dei pesi)"), this);
    for (QRadioButton* b : {noWeights_, relativeWeights_, columnWeights_}) weights->addWidget(b);
    // The window sets no per-point weights; it keeps those that came with the data set.
    columnWeights_->setVisible(options.weighting == Weighting::Column);
    layout->addWidget(group("pesi degli errori", weights, this));

    minimaxBox_ = new QCheckBox(QStringLiteral("minimo errore percentuale massimo (al posto dei minimi quadrati)"), this);
    minimaxBox_->setObjectName(QStringLiteral("minimaxBox"));
    layout->addWidget(minimaxBox_);

    auto* monotone = new QHBoxLayout;
    notMonotone_ = new QRadioButton(QStringLiteral("libera"), this);
    decreasing_ = new QRadioButton(QStringLiteral("decrescente"), this);
    increasing_ = new QRadioButton(QStringLiteral("crescente"), this);
    for (QRadioButton* b : {notMonotone_, decreasing_, increasing_}) monotone->addWidget(b);
    auto* curvature = new QHBoxLayout;
    freeCurvature_ = new QRadioButton(QStringLiteral("libera"), this);
    concave_ = new QRadioButton(QStringLiteral("concava"), this);
    convex_ = new QRadioButton(QStringLiteral("convessa"), this);
    for (QRadioButton* b : {freeCurvature_, concave_, convex_}) curvature->addWidget(b);
    concave_->setToolTip(QString::fromUtf8("la pendenza non sale mai: una curva di pompa o di ventilatore che scende "
                                           "sempre più in fretta"));
    convex_->setToolTip(QStringLiteral("la pendenza non scende mai"));
    auto* shape = new QHBoxLayout;
    shape->addWidget(group("curva monotona nel campo delle x dei punti", monotone, this));
    shape->addWidget(group("curva concava o convessa nel campo delle x dei punti", curvature, this));
    layout->addLayout(shape);

    leastSquaresInYBox_ = new QCheckBox(QStringLiteral("minimi quadrati sui valori di y (tipi trasformati)"), this);
    leastSquaresInYBox_->setToolTip(QStringLiteral("POTENZA, ESPONENZIALE, CURVA temperatura-tempo e curva saturazione: "
                                                   "i minimi quadrati dei valori stessi invece di quelli della retta "
                                                   "trasformata"));
    leastSquaresInYBox_->setObjectName(QStringLiteral("leastSquaresInYBox"));
    layout->addWidget(leastSquaresInYBox_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annulla"));
    auto* clear = buttons->addButton(QStringLiteral("nessun vincolo"), QDialogButtonBox::ResetRole);
    clear->setObjectName(QStringLiteral("clearButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &FitOptionsWindow::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(clear, &QPushButton::clicked, this, &FitOptionsWindow::clearAll);
    layout->addWidget(buttons);

    connect(this, &FitOptionsWindow::refused, this, [this](const QString& message) {
        QMessageBox::warning(this, QStringLiteral("vincoli"), message);
    });
    fill(options);
}

void FitOptionsWindow::fill(const FitOptions& options)
{
    const FitOptionsForm form = formOf(options);
    throughTable_->clearContents();
    fixedTable_->clearContents();
    for (int r = 0; r < FormRows && r < static_cast<int>(form.throughRows.size()); ++r)
        for (int c = 0; c < throughTable_->columnCount(); ++c) setCell(throughTable_, r, c, form.throughRows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]);
    for (int r = 0; r < FormRows && r < static_cast<int>(form.fixedRows.size()); ++r)
        for (int c = 0; c < 2; ++c) setCell(fixedTable_, r, c, form.fixedRows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]);
    (form.weighting == Weighting::Relative ? relativeWeights_
     : form.weighting == Weighting::Column ? columnWeights_
                                           : noWeights_)
        ->setChecked(true);
    minimaxBox_->setChecked(form.minimax);
    (form.monotone == Monotone::Decreasing ? decreasing_ : form.monotone == Monotone::Increasing ? increasing_ : notMonotone_)
        ->setChecked(true);
    (form.curvature == Curvature::Concave ? concave_ : form.curvature == Curvature::Convex ? convex_ : freeCurvature_)
        ->setChecked(true);
    leastSquaresInYBox_->setChecked(form.leastSquaresInY);
}

void FitOptionsWindow::clearAll() { fill(FitOptions{}); }

void FitOptionsWindow::accept()
{
    FitOptionsForm form;
    for (int r = 0; r < FormRows; ++r) {
        form.throughRows.push_back({cellText(throughTable_, r, 0).toStdString(), cellText(throughTable_, r, 1).toStdString(),
                                    cellText(throughTable_, r, 2).toStdString()});
        form.fixedRows.push_back({cellText(fixedTable_, r, 0).toStdString(), cellText(fixedTable_, r, 1).toStdString()});
    }
    form.weighting = relativeWeights_->isChecked() ? Weighting::Relative
                     : columnWeights_->isChecked() ? Weighting::Column
                                                   : Weighting::None;
    form.minimax = minimaxBox_->isChecked();
    form.monotone = decreasing_->isChecked() ? Monotone::Decreasing
                    : increasing_->isChecked() ? Monotone::Increasing
                                               : Monotone::None;
    form.curvature = concave_->isChecked() ? Curvature::Concave
                     : convex_->isChecked() ? Curvature::Convex
                                            : Curvature::None;
    form.leastSquaresInY = leastSquaresInYBox_->isChecked();
    Checked<FitOptions> read = optionsOf(form, kind_ == FitType::SurfaceXY);
    if (!read) return emit refused(QString::fromStdString(read.failure()));
    options_ = std::move(*read);
    options_.pointWeights = pointWeights_;
    QDialog::accept();
}

} // namespace calvero
