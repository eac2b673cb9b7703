#pragma once
// Shared pieces of the app tests: a fresh document with a recording presenter,
// a scratch folder per test, and small file helpers.
#include "../plain_inputs.h"
#include "../recording_presenter.h"

#include "app/datasetfile.h"
#include "app/document.h"
#include "app/frontend.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace calvero::testing {

class AppTest : public ::testing::Test {
protected:
    AppTest()
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = std::filesystem::temp_directory_path() /
                  ("calvero_app_" + std::string(info->test_suite_name()) + "_" + info->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    ~AppTest() override { std::filesystem::remove_all(folder_); }

    std::string pathOf(const std::string& name) const { return (folder_ / name).string(); }

    static void writeText(const std::string& path, const std::string& text)
    {
        std::ofstream out(path, std::ios::binary);
        out << text;
    }
    static std::string readBytes(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // The lines of a CR LF text; lines[0] is line 1.
    static std::vector<std::string> crlfLines(const std::string& text)
    {
        std::vector<std::string> lines;
        std::size_t start = 0;
        while (start < text.size()) {
            const std::size_t end = text.find("\r\n", start);
            if (end == std::string::npos) {
                lines.push_back(text.substr(start));
                break;
            }
            lines.push_back(text.substr(start, end - start));
            start = end + 2;
        }
        return lines;
    }
    static std::string joinCrlf(const std::vector<std::string>& lines)
    {
        std::string text;
        for (const std::string& line : lines) text += line + "\r\n";
        return text;
    }
    void setPoint(int i, double x, double y, double z = 0.0)
    {
        doc.points.x[i] = x;
        doc.points.y[i] = y;
        doc.points.z[i] = z;
    }

    // The file commands as the windows run them: a failure is shown.
    bool readDataSetFile(const std::string& path)
    {
        const auto failure = loadDataSetFile(work, path);
        if (failure) shown.showMessage(*failure);
        return !failure;
    }
    bool writeDataSetFile(const std::string& path)
    {
        const auto failure = calvero::writeDataSetFile(work, path);
        if (failure) shown.showMessage(*failure);
        return !failure;
    }
    // A command's outcome as the main window tells it; true when it did not fail.
    bool toldAsTheWindowDoes(const Failure& failure)
    {
        work.tell(failure);
        return !failure;
    }

    // A new run: a fresh document and main window.
    void resetDocument()
    {
        doc = Document{};
        inputs = InputFields{};
    }

    Document doc;
    InputFields inputs;
    RecordingPresenter shown{doc};
    Workspace work{doc, inputs, &shown};

private:
    std::filesystem::path folder_;
};

} // namespace calvero::testing
