// calvero1-batch: the calculation of a data set file or of a point file,
// without windows. The report goes to standard output; see --help.
#include "batch/batchoptions.h"
#include "batch/batchrun.h"
#include "graph/fitgraph.h"
#include "graph/surfacegraph.h"
#include "common/filewrite.h"
#include "graph/ui/graphpicture.h"

#include <QGuiApplication>

#include <iostream>

int main(int argc, char** argv)
{
    std::vector<std::string> arguments(argv + 1, argv + argc);
    const auto parsed = calvero::parseBatchOptions(arguments);
    if (!parsed) {
        std::cerr << parsed.failure() << '\n' << calvero::batchUsage();
        return calvero::BatchUnreadable;
    }
    if (const auto* request = std::get_if<calvero::BatchRequest>(&*parsed)) {
        if (*request == calvero::BatchRequest::Version)
            std::cout << "calvero1-batch " << CALVERO_VERSION << '\n';
        else
            std::cout << calvero::batchUsage();
        return 0;
    }

    // The graph is drawn with Qt's painter and fonts, never on a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's own start-up notes (run-time folders and the like) are not the
    // program's messages: standard error carries only those.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtFatalMsg) std::cerr << text.toStdString() << '\n';
    });
    QGuiApplication app(argc, argv);

    const auto writeGraph = [](const std::string& path, const calvero::Calculation& done) {
        calvero::GraphState graph;
        if (done.kind == calvero::FitType::SurfaceXY)
            calvero::prepareSurfaceGraph(graph, calvero::surfaceGraphData(done));
        else
            calvero::prepareScreenGraph(graph, calvero::fitGraphData(done));
        // Written as every other output: a failure keeps the earlier file and is said.
        const QByteArray png = calvero::graphPng(graph, 1024, 768);
        if (png.isEmpty()) return calvero::Failure(calvero::UndrawnGraphMessage);
        return calvero::writeOutputFile(path, std::string_view(png.constData(), std::size_t(png.size())));
    };
    return calvero::runBatch(std::get<calvero::BatchOptions>(*parsed), std::cout, std::cerr, writeGraph);
}
