#pragma once
// A Presenter that records, in order, what a command shows: messages, report
// showings with the report's lines and the data set name the viewer shows as
// its caption, and graph showings with their captions.
#include "app/document.h"
#include "app/frontend.h"

#include <functional>
#include <string>
#include <vector>

namespace calvero::testing {

enum class Shown { Message, Report, Graph };

struct ShownEvent {
    Shown kind;
    std::string text; // message text, report caption (the current data set) or graph caption
    std::vector<std::string> reportLines;
};

class RecordingPresenter : public Presenter {
public:
    // The report shown is the document's last calculation's, captioned with its data set's name.
    explicit RecordingPresenter(const Document& document) : document_(document) {}
    RecordingPresenter(const RecordingPresenter&) = delete;
    RecordingPresenter& operator=(const RecordingPresenter&) = delete;

    void showMessage(const std::string& text) override { record({Shown::Message, text, {}}); }
    void showReport() override
    {
        const auto& last = document_.lastCalculation;
        record({Shown::Report, document_.currentDataSetName, last ? last->report : std::vector<std::string>{}});
    }
    void showGraph(const std::string& caption) override { record({Shown::Graph, caption, {}}); }

    std::vector<ShownEvent> events;
    // Runs after each event is recorded, while the window would be open.
    std::function<void(const ShownEvent&)> onShown;

    std::vector<std::string> texts(Shown kind) const
    {
        std::vector<std::string> result;
        for (const ShownEvent& e : events)
            if (e.kind == kind) result.push_back(e.text);
        return result;
    }
    std::vector<std::string> messages() const { return texts(Shown::Message); }
    std::vector<std::string> graphCaptions() const { return texts(Shown::Graph); }
    int reportCount() const
    {
        int n = 0;
        for (const ShownEvent& e : events) n += e.kind == Shown::Report;
        return n;
    }
    // The lines of the last report shown; empty when none was shown.
    std::vector<std::string> lastReport() const
    {
        for (auto it = events.rbegin(); it != events.rend(); ++it)
            if (it->kind == Shown::Report) return it->reportLines;
        return {};
    }
    std::vector<Shown> kinds() const
    {
        std::vector<Shown> result;
        for (const ShownEvent& e : events) result.push_back(e.kind);
        return result;
    }

private:
    const Document& document_;
    void record(ShownEvent event)
    {
        events.push_back(std::move(event));
        if (onShown) onShown(events.back());
    }
};

} // namespace calvero::testing
