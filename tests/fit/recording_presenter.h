#pragma once
// A Presenter for tests: records every message, every showing of the report
// viewer (with the report's lines at that moment) and every showing of the
// graph window (with its caption), in the order they happened.
#include "fit/frontend.h"
#include "fit/report.h"
#include "fit/session.h"

#include <string>
#include <vector>

namespace calvero::testing {

struct Showing {
    enum class Kind { Message, Report, Graph };
    Kind kind;
    std::string text;               // the message or the graph's caption
    std::vector<std::string> lines; // the report as the viewer shows it
};

class RecordingPresenter : public Presenter {
public:
    void showMessage(const std::string& text) override { showings.push_back({Showing::Kind::Message, text, {}}); }
    void showReport() override
    {
        showings.push_back({Showing::Kind::Report, {}, reportLines(session().report)});
    }
    void showGraph(const std::string& caption) override { showings.push_back({Showing::Kind::Graph, caption, {}}); }

    std::vector<std::string> messages() const { return texts(Showing::Kind::Message); }
    std::vector<std::string> graphCaptions() const { return texts(Showing::Kind::Graph); }
    int reportCount() const
    {
        int n = 0;
        for (const Showing& s : showings) n += s.kind == Showing::Kind::Report;
        return n;
    }
    // The lines of the last report shown; empty when none was shown.
    std::vector<std::string> lastReport() const
    {
        for (auto it = showings.rbegin(); it != showings.rend(); ++it)
            if (it->kind == Showing::Kind::Report) return it->lines;
        return {};
    }
    std::vector<Showing::Kind> kinds() const
    {
        std::vector<Showing::Kind> result;
        for (const Showing& s : showings) result.push_back(s.kind);
        return result;
    }

    std::vector<Showing> showings;

private:
    std::vector<std::string> texts(Showing::Kind kind) const
    {
        std::vector<std::string> result;
        for (const Showing& s : showings)
            if (s.kind == kind) result.push_back(s.text);
        return result;
    }
};

} // namespace calvero::testing
