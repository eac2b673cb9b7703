// The report window's export dialog: the text it shows is the file it saves,
// the settings of each format change it, a format with nothing for the
// calculation says why and saves nothing, and the formula copies in the
// chosen language.
#include "exports/exportformats.h"
#include "viewers/ui/exportdialog.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cmath>

using namespace calvero;

namespace {

// y = 2 + 0.5 x - 0.02 x² sampled at x = 1..10: a quadratic fitted exactly.
Calculation quadratic()
{
    CalculationInput in;
    in.kind = FitType::Polynomial;
    in.degree = 2;
    for (int i = 1; i <= 10; ++i) {
        in.points.x[i] = i;
        in.points.y[i] = 2 + 0.5 * i - 0.02 * i * i;
    }
    in.pointCount = 10;
    return *calculate(in);
}

void choose(ExportDialog& dialog, ExportFormat format)
{
    dialog.formatChoice()->setCurrentIndex(dialog.formatChoice()->findData(static_cast<int>(format)));
}

} // namespace

class ExportDialogTest : public QObject {
    Q_OBJECT

private slots:
    void savesWhatItShows()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("curva.idf"));
        QStringList messages;
        ExportDialog dialog(quadratic(), "pompa 1");
        dialog.setMessageSink([&](const QString& text) { messages << text; });
        QString proposedName;
        dialog.setFileChooser([&](const QString& proposed) {
            proposedName = proposed;
            return path;
        });
        QVERIFY(dialog.preview()->toPlainText().contains(QStringLiteral("Curve:Quadratic,")));
        dialog.ratedCheck()->setChecked(true);
        dialog.ratedXEdit()->setText(QStringLiteral("5,5"));
        QVERIFY(dialog.preview()->toPlainText().contains(QStringLiteral("punto nominale x = 5.5")));
        dialog.saveButton()->click();
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(saved.readAll()), dialog.preview()->toPlainText());
        QCOMPARE(messages, QStringList{QStringLiteral("esportato nel file: ") + path});
        QVERIFY(proposedName.endsWith(QStringLiteral("pompa_1.idf")));

        // Outside the points' range the object could not give 1 there: said, nothing to save.
        dialog.ratedXEdit()->setText(QStringLiteral("11"));
        QVERIFY(dialog.preview()->toPlainText().startsWith(QStringLiteral("il punto nominale è fuori dai limiti")));
        QVERIFY(!dialog.saveButton()->isEnabled());
    }

    void theBoxesAreThoseOfTheVariablesAndThePreviewWraps()
    {
        // z = 1 + x + 2y + xy on a 3 x 3 grid: a surface of degree 2.
        CalculationInput in;
        in.kind = FitType::SurfaceXY;
        in.degree = 2;
        for (double x : {1.0, 2.0, 3.0})
            for (double y : {1.0, 2.0, 3.0}) {
                ++in.pointCount;
                in.points.x[in.pointCount] = x, in.points.y[in.pointCount] = y;
                in.points.z[in.pointCount] = 1 + x + 2 * y + x * y;
            }
        for (const Calculation& c : {quadratic(), *calculate(in)}) {
            const bool surface = c.kind == FitType::SurfaceXY;
            ExportDialog dialog(c, "curva");
            dialog.show();
            for (ExportFormat format : ExportFormats) {
                choose(dialog, format);
                QCOMPARE(dialog.xCellEdit()->isVisibleTo(&dialog), format == ExportFormat::Formula);
                QCOMPARE(dialog.yCellEdit()->isVisibleTo(&dialog), surface && format == ExportFormat::Formula);
                QCOMPARE(dialog.ratedYEdit()->isVisibleTo(&dialog), surface && format == ExportFormat::EnergyPlus);
            }
        }
        // The polynomial has no compressor coefficients: the refusal, longer
        // than the preview is wide, wraps instead of running past its edge.
        ExportDialog dialog(quadratic(), "curva");
        dialog.resize(500, 400);
        dialog.show();
        choose(dialog, ExportFormat::Ahri540);
        QCoreApplication::processEvents();
        const QTextBlock refusal = dialog.preview()->document()->firstBlock();
        QVERIFY(refusal.text().size() > 100);
        QVERIFY(refusal.layout()->lineCount() > 1);
        QVERIFY(dialog.preview()->horizontalScrollBar()->maximum() == 0);
    }

    void asksBeforeWritingOverTheFileThePointsCameFrom()
    {
        QTemporaryDir folder;
        const QString data = folder.filePath(QStringLiteral("pompa.txt"));
        const QString link = folder.filePath(QStringLiteral("collegamento.txt"));
        QFile file(data);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("3\n2\n") == 4);
        file.close();
        QVERIFY(QFile::link(data, link));
        for (const bool yes : {false, true}) {
            ExportDialog dialog(quadratic(), "pompa");
            dialog.setSourceFiles({data.toStdString()});
            dialog.setMessageSink([](const QString&) {});
            dialog.setFileChooser([&](const QString&) { return link; });
            QStringList questions;
            dialog.setConfirmation([&](const QString& question) {
                questions << question;
                return yes;
            });
            dialog.saveButton()->click();
            QCOMPARE(questions, QStringList{QStringLiteral("il file ") + link +
                                            QStringLiteral(" è il file da cui vengono i punti (") + data +
                                            QStringLiteral("): scriverci sopra?")});
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            file.close();
            QCOMPARE(bytes == "3\n2\n", !yes);
            QVERIFY(QFileInfo(link).isSymLink());
        }
    }

    void refusesWhatTheFormatCannotHold()
    {
        ExportDialog dialog(quadratic(), "pompa");
        choose(dialog, ExportFormat::Ahri540);
        QVERIFY(dialog.preview()->toPlainText().startsWith(QStringLiteral("i coefficienti AHRI 540 / EN 12900 vengono")));
        QVERIFY(!dialog.saveButton()->isEnabled() && !dialog.copyButton()->isEnabled());
        choose(dialog, ExportFormat::CFunction);
        QVERIFY(dialog.preview()->toPlainText().contains(QStringLiteral("int pompa(double x, double y, double* value)")));
        QVERIFY(dialog.saveButton()->isEnabled());
    }

    void offersTheObjectsOfThePointsInputsFittedInTheirForm()
    {
        // y = 1.5 x/(2 + x) + 0.2 at x = 1..10: Curve:RectangularHyperbola1 with C1 = 1.5, C2 = 2, C3 = 0.2.
        CalculationInput in;
        in.kind = FitType::Polynomial;
        in.degree = 2;
        for (int i = 1; i <= 10; ++i) {
            in.points.x[i] = i;
            in.points.y[i] = 1.5 * i / (2.0 + i) + 0.2;
        }
        in.pointCount = 10;
        ExportDialog dialog(*calculate(in), "motore");
        dialog.show();
        QComboBox* objects = dialog.objectChoice();
        QCOMPARE(objects->currentData().toString(), QString());
        for (const char* type : {"Curve:Sigmoid", "Curve:ExponentialSkewNormal", "Table:Lookup"})
            QVERIFY(objects->findData(QString::fromLatin1(type)) > 0);
        QCOMPARE(objects->findData(QStringLiteral("Curve:Biquadratic")), -1);
        objects->setCurrentIndex(objects->findData(QStringLiteral("Curve:RectangularHyperbola1")));
        const QStringList lines = dialog.preview()->toPlainText().split(QLatin1Char('\n'));
        QVERIFY(lines.contains(QStringLiteral("Curve:RectangularHyperbola1,")));
        const double known[] = {1.5, 2.0, 0.2};
        for (int k = 0; k < 3; ++k) {
            const QString field = QStringLiteral("!- Coefficient%1 C%1").arg(k + 1);
            const auto line =
                std::find_if(lines.begin(), lines.end(), [&](const QString& l) { return l.endsWith(field); });
            QVERIFY(line != lines.end());
            QVERIFY(std::fabs(line->section(QLatin1Char(','), 0, 0).trimmed().toDouble() - known[k]) < 1e-9);
        }
        QVERIFY(dialog.saveButton()->isEnabled());
        choose(dialog, ExportFormat::CFunction);
        QVERIFY(!objects->isVisibleTo(&dialog));
    }

    void statesTheConversionToAhriIpUnits()
    {
        // A compressor's capacity in W over °C temperatures, a cubic surface on a 5 x 5 grid.
        CalculationInput in;
        in.kind = FitType::SurfaceXY;
        in.degree = 3;
        for (double s : {-20.0, -12.5, -5.0, 2.5, 10.0})
            for (double d : {30.0, 36.25, 42.5, 48.75, 55.0}) {
                ++in.pointCount;
                in.points.x[in.pointCount] = s, in.points.y[in.pointCount] = d;
                in.points.z[in.pointCount] = 12000 + 400 * s - 150 * d + 6 * s * s - 2.5 * s * d + 0.05 * s * s * s;
            }
        ExportDialog dialog(*calculate(in), "compressore");
        dialog.show();
        choose(dialog, ExportFormat::Ahri540);
        QVERIFY(dialog.ipChoice()->isVisibleTo(&dialog));
        QVERIFY(dialog.preview()->toPlainText().contains(QStringLiteral("nessuna conversione")));
        dialog.ipChoice()->setCurrentIndex(dialog.ipChoice()->findData(QStringLiteral("capacity:W")));
        const QString text = dialog.preview()->toPlainText();
        QVERIFY(text.contains(QStringLiteral("S e D in °F, dai °C dei punti")));
        QVERIFY(text.contains(QStringLiteral("1 W = 3600/1055.05585262 Btu/h")));
        QVERIFY(text.contains(QStringLiteral("compressore;°F;")));
    }

    void copiesTheFormulaInTheChosenLanguage()
    {
        ExportDialog dialog(quadratic(), "pompa");
        choose(dialog, ExportFormat::Formula);
        dialog.xCellEdit()->setText(QStringLiteral("c7"));
        dialog.languageChoice()->setCurrentIndex(1);
        dialog.copyButton()->click();
        const QString formula = QGuiApplication::clipboard()->text();
        QVERIFY(formula.startsWith(QLatin1Char('=')) && formula.contains(QStringLiteral("*C7^2")));
        QVERIFY(formula.contains(QLatin1Char(',')) && !formula.contains(QLatin1Char('.')));
        QVERIFY(dialog.preview()->toPlainText().contains(QStringLiteral("italiano: ") + formula));
        dialog.xCellEdit()->setText(QStringLiteral("7C"));
        QCOMPARE(dialog.preview()->toPlainText(), QStringLiteral("cella di x non valida: 7C"));
    }
};

QTEST_MAIN(ExportDialogTest)
#include "exportdialog_qtest.moc"
