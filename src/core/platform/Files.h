#pragma once
// Files seam. Paths are Shift-JIS bytes, as they stand in macro files and settings; each
// platform turns them into its own form.
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qlk {

class IWriteFile {
 public:
  virtual ~IWriteFile() = default;
  [[nodiscard]] virtual bool Write(std::string_view bytes) = 0;
  // Flushes and closes; false when anything written was not stored.
  [[nodiscard]] virtual bool Close() = 0;
};

class IReadFile {
 public:
  virtual ~IReadFile() = default;
  // Up to `size` bytes into `buf`: how many came (0 only at the end of the file), or nullopt
  // when reading fails.
  [[nodiscard]] virtual std::optional<size_t> Read(char* buf, size_t size) = 0;
  // For a file that can be read again: where the next read starts, and moving there. Inputs
  // that cannot (pipes, terminals) give nothing and false.
  virtual std::optional<uint64_t> Position() { return std::nullopt; }
  virtual bool Seek(uint64_t) { return false; }
};

class IFiles {
 public:
  virtual ~IFiles() = default;
  // The whole file, or nullopt when it cannot be opened or read.
  virtual std::optional<std::string> ReadAll(std::string_view path) = 0;
  // The file to read from its start, piece by piece; nullptr when it cannot be opened.
  virtual std::unique_ptr<IReadFile> OpenRead(std::string_view path) = 0;
  // Creates or truncates; nullptr when the file cannot be created.
  virtual std::unique_ptr<IWriteFile> Create(std::string_view path) = 0;
  virtual bool Exists(std::string_view path) = 0;
  virtual bool Remove(std::string_view path) = 0;
  virtual bool Rename(std::string_view from, std::string_view to) = 0;
  // Puts the file `from` in the place of the existing file `to` in one step, so that `to`
  // names the old file or the new one at every moment; the new one takes the old one's
  // permissions. False, with both files as they were, when `to` may not be replaced (a
  // read-only or locked file).
  virtual bool ReplaceFile(std::string_view from, std::string_view to) { return Rename(from, to); }
  virtual bool MakeDirs(std::string_view path) = 0;
  // Full paths of the plain files in `dir` whose names match the wildcard `pattern`.
  virtual std::vector<std::string> Find(std::string_view dir, std::string_view pattern) = 0;
  // A C stream on the file, opened with the C library's mode string; nullptr when it cannot be
  // opened. The base opens the path as the C library takes it; a platform whose library does
  // not take Shift-JIS paths opens it its own way.
  virtual std::FILE* OpenStream(std::string_view path, const char* mode) {
    return std::fopen(std::string(path).c_str(), mode);
  }
  virtual std::string TempFolder() = 0;
  // Folder of the running program, ending with its separator.
  virtual std::string ProgramFolder() = 0;
  virtual char Separator() const = 0;

  // Whole-file write through Create; false on any failure.
  bool WriteAll(std::string_view path, std::string_view bytes) {
    auto f = Create(path);
    if (!f) return false;
    bool ok = f->Write(bytes);
    return f->Close() && ok;
  }
  // The same, written beside the file and renamed over it: a failed write leaves the old
  // file as it was (and no stray file behind). The parts are written one after another.
  bool WriteAllReplacing(std::string_view path, std::initializer_list<std::string_view> parts) {
    return WriteAllReplacing(path, std::vector<std::string_view>(parts));
  }
  bool WriteAllReplacing(std::string_view path, const std::vector<std::string_view>& parts) {
    const std::string tmp = std::string(path) + ".qlk-tmp";
    bool ok = false;
    if (auto f = Create(tmp)) {
      ok = true;
      for (std::string_view p : parts) ok = ok && f->Write(p);
      ok = f->Close() && ok && Rename(tmp, path);
    }
    if (!ok) Remove(tmp);
    return ok;
  }
};

}  // namespace qlk
