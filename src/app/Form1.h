#pragma once

#include "command/CommandContext.h"
#include "command/WindowPointer.h"
#include "extract/ExtractCommand.h"
#include "extract/ExtractionControls.h"
#include "filelist/FileListDrag.h"
#include "filelist/FileListModel.h"
#include "output/ResultsModel.h"
#include "platform/CommonDialogState.h"
#include "platform/Platform.h"
#include "platform/ProgressWindow.h"
#include "preview/PreviewWindow.h"

#include <QCursor>
#include <QWidget>
#include <array>
#include <optional>
#include <span>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStyle;

namespace culvex {

class FileListView;
class ProtectedProcedure;
class ResultsView;

// The main window: the file list, the extraction settings panel, the results list and
// the command buttons. It owns both lists; the panel's controls are the only copy of the
// extraction settings, and every change to them is stored at once.
class Form1 final : public QWidget, public PreviewHost, public WindowPointer {
    Q_OBJECT
public:
    Form1(Platform& platform, QString programFolder, QWidget* parent = nullptr);

    // Start-up: skin, hand cursor, sample record, titles, list columns, restored panel.
    void Form_Load();
    // Closing the window ends the program at once.
    void Form_Unload();
    // Loads the skin "x/o.cjs" beside the program, when there is one.
    void ApplySkin();
    // Derives the application's short title from the product title.
    void SetApplicationTitle();

    // The command buttons, numbered as designed.
    void PushButton1_Click();   // Add CSV File(s)
    void PushButton2_Click();   // Save As Comma Delim. Text File
    void PushButton3_Click();   // Clear List
    void PushButton4_Click();   // Add All CSV File(s) In Folder
    void PushButton5_Click();   // Save Results As Excel File
    void PushButton6_Click();   // Save Results As Text File
    void PushButton7_Click();   // Extract Columns From File(s)
    void PushButton8_Click();   // Copy Results To Clipboard
    void PushButton9_Click();   // Clear Results
    void PushButton10_Click();  // Help
    void PushButton11_Click();  // Load Sample/Example Files

    // The file list: editing, dropping files, and reordering entries by dragging.
    void ListView1_KeyDown(int key);
    void ListView1_DblClick();
    void ListView1_OLEDragDrop(const QStringList& paths);
    void ListView1_MouseDown();
    void ListView1_ItemClick();
    void ListView1_MouseMove(int targetRow);
    void ListView1_MouseUp();
    // The results list: a double-click removes the selected row.
    void ListView2_DblClick();
    // The results list's context menu offers the text encoding; a choice shows and stores it.
    void ListView2_ContextMenu(const QPoint& position);
    void chooseEncoding(TextEncoding encoding);

    // The extraction settings panel: each handler stores what changed.
    void Check1_Click();
    void Option1_Click();
    void Option2_Click();
    void Option3_Click();
    void Option4_Click();
    void Option7_Click();
    void Option8_Click();
    void Option9_Click();
    void Option10_Click();
    void Option11_Click();
    void Text1_Change();
    void Text2_Change();
    void Text3_Change();
    void Text4_Change();
    void Text5_Change();
    void Text1_LostFocus();
    void Text3_LostFocus();

    // The panel's controls by their numbers: Check1's value (1 checked), OptionN selected.
    int check1Value() const;
    bool isOptionSelected(int option) const;

    // ExtractionControls
    ExtractionChoices extractionSettings() const override;

    // The preview window (F6, and the file list's context menu "Preview Columns"): opens it,
    // or raises it when it is open.
    void PreviewColumns();
    void ListView1_ContextMenu(const QPoint& position);
    // PreviewHost
    QString previewedFile() const override;
    void useSeparator(SeparatorChoice choice, const QString& typed) override;
    // The preview window, once it was opened.
    PreviewWindow* preview() const { return preview_; }

    // WindowPointer
    void setPointer(PointerState state) override;
    PointerState pointer() const override { return pointer_; }

    // Puts files handed to the program into the file list, as the Add Files rules clean
    // them, without repeating a listed one.
    void addGivenFiles(const QStringList& paths);

    // The program folder followed by the native separator and a name.
    QString besideProgram(const QString& name) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void findControls();
    void setUpWindow();
    void nameForAssistiveTools();
    void addShortcuts();
    void connectPanel();
    void connectCommands();
    void connectFileList();
    void connectEncodingMenu();
    void connectPreview();
    void refreshPreview();
    void restoreEncoding();
    // The check box for quoted fields in the separator frame, beside the designed controls.
    void addQuotedFieldsBox();
    void restoreQuotedFields();
    void watchHover();
    // The pointer a hover over the watched widget asks for (Custom over push buttons,
    // Default elsewhere); nothing for widgets without hover handling.
    std::optional<PointerState> hoverPointerFor(const QObject* watched) const;
    // Sets the hover pointer for a move or an enter over the watched widget's own surface.
    void hover(const QObject* watched, const QEvent& event);
    // nullptr gives the frames the application's style back.
    void setFrameStyle(QStyle* style);
    void restorePanel(ProtectedProcedure& procedure);
    void assignOption(int number, bool value);
    void assignCheck1(int value);
    void runOptionClick(int number);
    void runTextChange(int number);
    void storeOptions(std::span<const int> numbers);
    void storeSeparator(bool others);
    void storeText(int number);
    // False, after the message, when the box holds a text that is not a number.
    bool testNumericEntry(QLineEdit& box);
    // Runs the test of a number box that lost the focus and whose test has not run yet;
    // false when it failed.
    bool runPendingNumericTest();
    QButtonGroup* groupOf(int option) const;

    Platform& platform_;
    FileListModel* fileList_;
    ResultsModel* results_;
    FileListView* listView1_ = nullptr;
    ResultsView* listView2_ = nullptr;
    std::array<QPushButton*, 12> pushButtons_{};
    std::array<QRadioButton*, 12> options_{};
    std::array<QLineEdit*, 6> texts_{};
    std::array<QGroupBox*, 5> frames_{};
    QCheckBox* check1_ = nullptr;
    QCheckBox* quotedFields_ = nullptr;
    std::array<QButtonGroup*, 5> optionGroups_{};
    QCursor handCursor_{Qt::ArrowCursor};
    PointerState pointer_ = PointerState::Default;
    bool returningFocus_ = false;
    int pendingNumericBox_ = 0;  // Text1 or Text3 whose lost-focus test still waits
    CommonDialogState dialogState_;
    ProgressWindow* progress_;
    CommandContext context_;
    ExtractCommand extract_;
    FileListDrag drag_;
    PreviewWindow* preview_ = nullptr;
};

}  // namespace culvex
