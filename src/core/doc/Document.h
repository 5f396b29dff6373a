#pragma once
// The document every command works on: the clipboard text as an array of Shift-JIS lines,
// the target-line selection, the undo history and the parameters of the line operations.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "doc/LineArray.h"
#include "doc/Undo.h"
#include "platform/Platform.h"

namespace qlk {

// One key of the complex sort, fields in their macro-line order.
struct CSortItem {
  int descending = 0;   // 0 ascending, 1 descending
  int firstColumn = 1;  // from 1
  int lastColumn = -1;  // inclusive; -1 is the end of the line
  int numeric = 0;      // 1 compares as integers
  bool operator==(const CSortItem&) const = default;
};

// Code detected in a file that is read into the document.
enum class FileCode { None = 0, Jis = 1, Euc = 2 };

// Later features reach into file reading and recording through these.
struct DocHooks {
  // Writes one macro line when a macro is being recorded (nothing otherwise).
  std::function<void(const std::string&)> writeMacroLine;
  // Detects the code of a file's bytes; unset means no detection.
  std::function<FileCode(std::string_view bytes)> detectFileCode;
  // Converts the target lines to Shift-JIS (each its own undo step).
  std::function<void()> jisToSjis;
  std::function<void()> eucToSjis;
};

class CQuenlarkDoc {
 public:
  explicit CQuenlarkDoc(Platform& p);
  ~CQuenlarkDoc();
  CQuenlarkDoc(const CQuenlarkDoc&) = delete;
  CQuenlarkDoc& operator=(const CQuenlarkDoc&) = delete;

  // ---- lines ----
  LineArray& Lines() { return lines_; }
  const LineArray& Lines() const { return lines_; }
  int LineCount() const { return static_cast<int>(lines_.size()); }

  // ---- clipboard and text transfer ----
  // Empties the document and loads the clipboard; false when the clipboard was held by
  // another program (the user has been told, and the command must not go on).
  bool NewFromClipboard();
  void ClearLines();
  bool LoadClipboard();
  // Puts the target lines on the clipboard; with allSelect the selection is first reset to
  // all lines. False when the clipboard could not be opened (the user has been told).
  bool StoreClipboard(bool allSelect);
  std::string GetText() const;
  void SetText(std::string_view text);
  size_t TargetTextSize() const;
  // Whether the selection is all lines (no range, step, pattern or exclusion to test).
  bool EveryLineIsTarget() const;

  // ---- files ----
  bool OpenFile(std::string_view path);
  bool SaveFile(std::string_view path);
  // The lines as SaveFile writes them, each ended as [System] "CrLf" says.
  std::string FileBytes() const;
  void CloseFile();
  bool SaveAs();
  bool Save();
  bool FileInsert(std::string_view path);
  void InsertLine(int index, std::string text);
  void InsertEndLine(std::string text);

  // Splits file bytes into lines: at every LF, removing LF, CR, LF at each piece's end.
  static LineArray SplitFileLines(std::string_view bytes);

  // ---- selection ----
  bool IsTargetLine(size_t index);
  // Marks which lines are targets, for operations that change the line count.
  std::vector<char> TargetMask();
  void SelectAll();  // range 1..count, step 1, pattern ""
  bool RegexAvailable() const { return regex_ != nullptr; }
  IRegex* Regex() { return regex_.get(); }

  // ---- undo ----
  void BeginUndoStep();
  void Undo();
  void Redo();
  bool CanUndo() const { return undo_.CanUndo(); }
  bool CanRedo() const { return undo_.CanRedo(); }
  const CUndoStack& UndoStack() const { return undo_; }
  // For a run that nobody can undo afterwards (the command line): no snapshots are kept.
  void DisableUndo() { undoEnabled_ = false; }

  // ---- document state ----
  void SetModified(bool m = true) { modified_ = m; }
  bool IsModified() const { return modified_; }
  const std::string& PathName() const { return pathName_; }
  void SetPathName(std::string p) { pathName_ = std::move(p); }

  Platform& platform() { return p_; }
  DocHooks& hooks() { return hooks_; }

  // Selection (line numbers from 1).
  int rangeStart = 0;
  int rangeEnd = 0;
  int step = 1;
  std::string pattern;
  int exclusive = 0;
  int regexFlag = 0;
  int finalBreak = 1;  // the loaded text ended with CR LF, or was empty
  bool loadedLossy = false;  // the last load lost characters Shift-JIS cannot hold
  bool loadedNoText = false;  // the last load found no text (a picture, say, or nothing)

  // Parameters of the line operations.
  int width = 1;  // fold, cut and indent width
  int englishMode = 0;
  int eucOption = 0;
  int overwriteColumn = 1;
  std::string overwriteString;
  int insertColumn = 1;
  std::string insertString;
  int renoIncrement = 1, renoDigits = 1, renoColumn = 1, renoStart = 1, renoBlankFill = 1;
  int multiReplaceFiles = 0, multiReplaceCount = 0;
  std::vector<CSortItem> sortKeys;

 private:
  void WriteMacroLine(const std::string& line) {
    if (hooks_.writeMacroLine) hooks_.writeMacroLine(line);
  }

  Platform& p_;
  LineArray lines_;
  CUndoStack undo_;
  std::unique_ptr<IRegex> regex_;
  DocHooks hooks_;
  bool modified_ = false;
  bool undoEnabled_ = true;
  int storedRegexFlag_ = 0;
  std::string pathName_;
};

}  // namespace qlk
