// The dictionary with 5,000 entries: loading beside Qt's JSON parser alone on the same bytes,
// saving with the atomic replace, the translation walk both ways, the walk with every caption
// missing, and the editor's grid for a language other than the interface's.

#include "app/main_window/TFNav.h"
#include "app/main_window/TranslationWalk.h"
#include "app/program/ProgramStart.h"
#include "app/translation/TfTranslationEditor.h"
#include "bench/ProgramBenchmarkMain.h"
#include "language/LanguageFile.h"
#include "language/TTavrinTranslation.h"
#include "platform/AppPaths.h"
#include "platform/FileIO.h"

#include <QApplication>
#include <QComboBox>
#include <QJsonDocument>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <memory>

namespace {

std::map<std::string, std::string> Entries(const char* prefix) {
    std::map<std::string, std::string> entries;
    for (int i = 0; i < 5000; ++i)
        entries["Caption number " + std::to_string(i)] = std::string(prefix) + " \xC3\xA7\xC4\x9F " + std::to_string(i);
    return entries;
}

// A folder with "tr" and "de" files of 5,000 entries, and the program's windows.
struct Fixture {
    Fixture() {
        AppPaths::setApplicationFolder(folder.path().toStdString());
        std::filesystem::create_directories(AppPaths::languagesFolder());
        WriteFileAtomically(AppPaths::languagesFolder() + "tr.json", LanguageFileBytes(Entries("tr")));
        WriteFileAtomically(AppPaths::languagesFolder() + "de.json", LanguageFileBytes(Entries("de")));
        WriteFileAtomically(AppPaths::languagesFolder() + "xx.json", "{}");
        CreateApplicationWindows();
        synthetic = std::make_unique<QWidget>(nullptr, Qt::Window);
        for (int i = 0; i < 1000; ++i) {
            if (i % 2)
                new QLabel(QString("Caption number %1").arg(i), synthetic.get());
            else
                new QPushButton(QString("Caption number %1").arg(i), synthetic.get());
        }
    }
    ~Fixture() {
        synthetic.reset();
        DestroyApplicationWindows();
    }
    QTemporaryDir folder;
    std::unique_ptr<QWidget> synthetic;
};

// Made by the first benchmark that needs it; released by main while the application object
// still exists, since the windows' teardown reaches its fonts.
std::unique_ptr<Fixture> SharedFixture;

Fixture& Shared() {
    if (!SharedFixture)
        SharedFixture = std::make_unique<Fixture>();
    return *SharedFixture;
}

void BM_LoadDictionary(benchmark::State& state) {
    Shared();
    std::map<std::string, std::string> map;
    for (auto _ : state)
        Translator->LoadLanguage("tr", map);
    if (map.size() != 5000)
        state.SkipWithError("not every entry was loaded");
}
BENCHMARK(BM_LoadDictionary)->Unit(benchmark::kMillisecond);

void BM_QtJsonParseAlone(benchmark::State& state) {
    const QByteArray bytes = QByteArray::fromStdString(LanguageFileBytes(Entries("tr")));
    for (auto _ : state)
        benchmark::DoNotOptimize(QJsonDocument::fromJson(bytes.mid(3)));
}
BENCHMARK(BM_QtJsonParseAlone)->Unit(benchmark::kMillisecond);

void BM_SaveDictionary(benchmark::State& state) {
    Shared();
    Translator->SetLanguage("tr");
    for (auto _ : state)
        if (!Translator->SaveLanguage("tr"))
            state.SkipWithError("save failed");
    Translator->SetLanguage("en");
}
BENCHMARK(BM_SaveDictionary)->Unit(benchmark::kMillisecond);

// Seventeen windows and a synthetic one of 1,000 captions, into Turkish and back.
void BM_WalkBothWays(benchmark::State& state) {
    Fixture& fixture = Shared();
    for (auto _ : state) {
        Translator->SetLanguage("tr");
        TranslateUi(FNav);
        TranslateForm(fixture.synthetic.get());
        Translator->SetLanguage("en");
        TranslateUi(FNav);
        TranslateForm(fixture.synthetic.get());
    }
}
BENCHMARK(BM_WalkBothWays)->Unit(benchmark::kMillisecond);

// A language whose file is empty: every caption is missing and logged (once per run).
void BM_WalkWithEveryCaptionMissing(benchmark::State& state) {
    Fixture& fixture = Shared();
    for (auto _ : state) {
        Translator->SetLanguage("xx");
        TranslateUi(FNav);
        TranslateForm(fixture.synthetic.get());
        Translator->SetLanguage("en");
    }
}
BENCHMARK(BM_WalkWithEveryCaptionMissing)->Unit(benchmark::kMillisecond);

void BM_EditorGridOfAnotherLanguage(benchmark::State& state) {
    Shared();
    TfTranslationEditor editor;
    editor.FillLanguageList();
    editor.cbLanguage->setCurrentText("de");
    for (auto _ : state)
        editor.FillGrid();
}
BENCHMARK(BM_EditorGridOfAnotherLanguage)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return RunProgramBenchmarks(argc, argv, [] { SharedFixture.reset(); });
}
