#include "app/ui/savedequations.h"

#include <QSettings>
#include <QStringList>

#include <memory>

namespace calvero {

namespace {

std::unique_ptr<QSettings> store()
{
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("calvero1"),
                                       QStringLiteral("equazioni"));
}

// Per parameter, its name and its four cells, in the table's order.
constexpr const char* CellKeys[] = {"parametri", "iniziali", "fissi", "minimi", "massimi"};

std::string* cellOf(ParameterCells& c, int key)
{
    std::string* cells[] = {&c.name, &c.start, &c.fixed, &c.lower, &c.upper};
    return cells[key];
}

} // namespace

std::vector<SavedEquationEntry> readSavedEquations()
{
    const auto held = store();
    QSettings& settings = *held;
    std::vector<SavedEquationEntry> entries;
    const int count = settings.beginReadArray(QStringLiteral("equazioni"));
    for (int i = 0; i < count; ++i) {
        settings.setArrayIndex(i);
        SavedEquationEntry entry;
        entry.name = settings.value(QStringLiteral("nome")).toString().toStdString();
        entry.equation = settings.value(QStringLiteral("equazione")).toString().toStdString();
        if (entry.name.empty() || entry.equation.empty()) continue;
        const QStringList names = settings.value(QStringLiteral("parametri")).toStringList();
        entry.cells.resize(static_cast<std::size_t>(names.size()));
        for (int key = 0; key < 5; ++key) {
            const QStringList column = settings.value(QString::fromLatin1(CellKeys[key])).toStringList();
            for (int p = 0; p < names.size() && p < column.size(); ++p)
                *cellOf(entry.cells[static_cast<std::size_t>(p)], key) = column[p].toStdString();
        }
        entries.push_back(std::move(entry));
    }
    settings.endArray();
    return entries;
}

void writeSavedEquations(const std::vector<SavedEquationEntry>& entries)
{
    const auto held = store();
    QSettings& settings = *held;
    settings.remove(QStringLiteral("equazioni"));
    settings.beginWriteArray(QStringLiteral("equazioni"), static_cast<int>(entries.size()));
    for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
        settings.setArrayIndex(i);
        SavedEquationEntry entry = entries[static_cast<std::size_t>(i)];
        settings.setValue(QStringLiteral("nome"), QString::fromStdString(entry.name));
        settings.setValue(QStringLiteral("equazione"), QString::fromStdString(entry.equation));
        for (int key = 0; key < 5; ++key) {
            QStringList column;
            for (ParameterCells& c : entry.cells) column << QString::fromStdString(*cellOf(c, key));
            settings.setValue(QString::fromLatin1(CellKeys[key]), column);
        }
    }
    settings.endArray();
    settings.sync();
}

} // namespace calvero
