#pragma once
// The Recorded Data page's "Save" and "Load" buttons, and the questions that file handling
// and the plot's dialogs ask the user. The questions are replaceable so that tests can answer
// them.
#include <QString>

#include <functional>

class QWidget;

namespace vemo {

struct FileQuestions {
    // The "Save" choice: -1 cancelled, 0 "Active Data Set", 1 "Plot and All Data Sets".
    std::function<int(QWidget* parent)> AskSaveKind;
    // The save file dialog with a default name; an empty result means cancelled.
    std::function<QString(QWidget* parent, const QString& defaultName)> AskSavePath;
    // The load file dialog; an empty result means cancelled.
    std::function<QString(QWidget* parent)> AskLoadPath;
    // The "Export Photo Info" save dialog; an empty result means cancelled.
    std::function<QString(QWidget* parent)> AskPhotoPath;
    // A message box with caption "Error", an exclamation icon and an OK button.
    std::function<void(QWidget* parent, const QString& message)> ShowError;
    // A message box with caption "Vemo", an exclamation icon and an OK button.
    std::function<void(QWidget* parent, const QString& message)> ShowMessage;
    // A question with Yes and No buttons, No being the default; true for Yes.
    std::function<bool(QWidget* parent, const QString& caption, const QString& question)> AskYesNo;
    // Opens a file with the desktop's default handler.
    std::function<void(const QString& path)> OpenDocument;
};

// The questions in use; they start as the real dialogs.
FileQuestions& Questions();
// Puts the real dialogs back.
void UseRealQuestions();

// "Save" (hint "Save Data"): asks what to save and where, then writes the file; a name typed
// without an extension gets ".csv". The set file name offered numbers from downloadSetIndex,
// the "Set#" index of the last "Download Data". Does nothing when there is no document, or
// when the active set is to be saved and there is none.
void SaveData(QWidget* parent, int downloadSetIndex = 0);
// "Load" (hint "Load data"): asks for a file and adds its data sets to the document; a flight
// simulator's export adds one data set. `loaded` runs once they are in (the window repaints
// the plot), before the user is told, a message box each, what loading had to say: samples
// beyond what a data set holds, rows of an export skipped or cut, sets converted into the
// plot's unit, samples out of time order. A file that holds no data is refused in a box
// captioned "Vemo", one that cannot be read or used in a box captioned "Error".
void LoadData(QWidget* parent, const std::function<void()>& loaded);
// What "Load" does once the file is chosen.
void LoadDataFrom(QWidget* parent, const QString& path, const std::function<void()>& loaded);

} // namespace vemo
