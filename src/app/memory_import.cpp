#include "app/memory_import.h"

#include "app/qt_text.h"
#include "controller/translation_assistant.h"
#include "controller/window_controller.h"
#include "memory/memory_sources.h"
#include "platform/dialog_services.h"
#include "platform/paths.h"

#include <QApplication>
#include <QProgressDialog>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

namespace sorvane {

void addToMemory(WindowController& controller, TranslationAssistant& assistant, bool folder,
                 QWidget* parent) {
  DialogServices& dialogs = controller.dialogs();
  if (!assistant.memoryUsable()) {
    dialogs.showMessage(DialogOwner::mainWindow, assistant.note(), std::nullopt, MessageButtons::ok,
                        MessageIcon::exclamation);
    return;
  }
  const std::u16string start(folderPart(controller.paths().newOriginal));
  const std::optional<std::u16string> chosen =
      folder
          ? dialogs.chooseFolder(DialogOwner::mainWindow, start)
          : dialogs.chooseFile(FileDialogKind::open, DialogOwner::mainWindow,
                               u"Translation files (*.qm *.po *.xlf *.xliff *.ts *.tmx)|*.qm;*.po;"
                               u"*.xlf;*.xliff;*.ts;*.tmx|All files (*.*)|*.*",
                               start, u"");
  if (!chosen) return;
  const std::vector<std::u16string> files = memorySourceFiles(*chosen);
  if (files.empty()) {
    dialogs.showMessage(DialogOwner::mainWindow,
                        u"No QM, PO, XLIFF, TS or TMX file is in " + *chosen + u".", std::nullopt,
                        MessageButtons::ok, MessageIcon::information);
    return;
  }
  MemorySourceOptions options;
  // A file that names no language is taken to be in the Mod's.
  options.targetLanguage = memoryLanguage(controller.session().modLanguage());

  std::atomic<std::size_t> done = 0;
  std::atomic<bool> stop = false;
  std::atomic<bool> finished = false;
  std::mutex fileMutex;
  std::u16string current;
  MemoryImportReport report;
  std::u16string openError;
  std::thread worker([&] {
    // Its own connection: lookups go on while it writes.
    std::unique_ptr<TranslationMemory> memory =
        TranslationMemory::open(assistant.memoryPath(), openError);
    if (memory) {
      report = importIntoMemory(*memory, files, options,
                                [&](std::size_t at, std::size_t, std::u16string_view file) {
                                  done = at;
                                  const std::lock_guard lock(fileMutex);
                                  current = file;
                                  return !stop.load();
                                });
    }
    finished = true;
  });
  QProgressDialog progress(QStringLiteral("Adding translations to the memory\u2026"),
                           QStringLiteral("Stop"), 0, static_cast<int>(files.size()), parent);
  progress.setObjectName(QStringLiteral("MemoryImportProgress"));
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(300);
  while (!finished) {
    progress.setValue(static_cast<int>(done.load()));
    {
      const std::lock_guard lock(fileMutex);
      progress.setLabelText(QStringLiteral("Adding translations to the memory\u2026\n") +
                            toQString(fileNamePart(current)));
    }
    if (progress.wasCanceled()) stop = true;
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  worker.join();
  progress.close();
  if (!openError.empty()) {
    dialogs.showMessage(DialogOwner::mainWindow,
                        u"The translation memory can't be written: " + openError, std::nullopt,
                        MessageButtons::ok, MessageIcon::exclamation);
    return;
  }
  // Line breaks as the message boxes take them.
  std::u16string lines;
  for (const char16_t unit : memoryImportReportText(report)) {
    if (unit == u'\n') lines += u'\r';
    lines += unit;
  }
  dialogs.showMessage(DialogOwner::mainWindow, lines, std::nullopt, MessageButtons::ok,
                      MessageIcon::information);
  assistant.refresh();
}

}  // namespace sorvane
