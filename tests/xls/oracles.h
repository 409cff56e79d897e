#pragma once
// What the independent readers make of a workbook: python3-xlrd's cells (xlrd_dump.py) and
// the first sheet as headless LibreOffice shows it, both as grids of texts to compare with
// our reader's.
#include "xls_test_support.h"

#include <gtest/gtest.h>

#include <map>

namespace xlstest {

using Grid = std::vector<std::vector<std::string>>;

// Runs python3 with the arguments; a failure is reported with its output.
inline bool runPython(const std::string &args)
{
    bool ok = false;
    const std::string out = run(python() + " " + args + " 2>&1", ok);
    EXPECT_TRUE(ok) << args << "\n" << out;
    return ok;
}

// Without trailing empty cells and rows: how far a reader pads a sheet differs.
inline Grid trimmed(Grid g)
{
    for (auto &row : g)
        while (!row.empty() && row.back().empty())
            row.pop_back();
    while (!g.empty() && g.back().empty())
        g.pop_back();
    return g;
}

// The sheet's cells as xlrd reads them (numbers in Excel's general format); ok false when
// xlrd refuses the file.
inline Grid xlrdGrid(const std::string &path, bool &ok, const std::string &sheet = {})
{
    const auto lines = parseTsv(run(python() + " " + script("xlrd_dump.py") + " '" + path + "'" +
                                        (sheet.empty() ? "" : " '" + sheet + "'") + " 2>/dev/null",
                                    ok));
    Grid g;
    for (const auto &l : lines) {
        if (l.size() < 3)
            continue;
        const size_t r = std::stoul(l[0]), c = std::stoul(l[1]);
        if (g.size() <= r)
            g.resize(r + 1);
        if (g[r].size() <= c)
            g[r].resize(c + 1);
        g[r][c] = l[2];
    }
    return trimmed(g);
}

inline bool haveSoffice()
{
    return std::system("command -v soffice >/dev/null 2>&1") == 0;
}

inline std::string soffice(const TempDir &dir, const std::string &args)
{
    bool ok = false;
    const std::string out = run("cd " + dir.path().string() + " && timeout 180 soffice -env:UserInstallation=file://" +
                                    dir.file("lo-profile") + " --headless " + args + " 2>&1",
                                ok);
    EXPECT_TRUE(ok) << out;
    return out;
}

inline Grid parseCsv(const std::string &text)
{
    Grid rows(1, std::vector<std::string>(1));
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                rows.back().back() += text[++i];
            else if (c == '"')
                quoted = false;
            else
                rows.back().back() += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            rows.back().emplace_back();
        } else if (c == '\n') {
            rows.emplace_back(1);
        } else if (c != '\r') {
            rows.back().back() += c;
        }
    }
    if (rows.back() == std::vector<std::string>(1))
        rows.pop_back();
    return rows;
}

// The first sheet of each file as LibreOffice shows it, by the file's name without
// ".xls"; one soffice run for all. A file LibreOffice cannot open has no entry.
inline std::map<std::string, Grid> libreOfficeSheets(const TempDir &dir, const std::vector<std::string> &paths)
{
    std::string files;
    for (const auto &p : paths)
        files += " '" + p + "'";
    const std::string out = dir.file("lo-csv");
    bool ok = false;
    run("cd " + dir.path().string() + " && timeout 300 soffice -env:UserInstallation=file://" + dir.file("lo-profile") +
            " --headless --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,true,false,false,1'"
            " --outdir " + out + files + " >/dev/null 2>&1",
        ok);
    std::map<std::string, Grid> sheets;
    if (!fs::exists(out))
        return sheets;
    for (const auto &p : paths) {
        const std::string stem = fs::path(p).stem().string();
        for (const auto &e : fs::directory_iterator(out))
            if (e.path().filename().string().rfind(stem + "-", 0) == 0)
                sheets[stem] = trimmed(parseCsv(readFile(e.path().string())));
    }
    return sheets;
}

} // namespace xlstest
