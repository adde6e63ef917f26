// An output file (trace, plot) written under a temporary name in its own folder and renamed into
// place when complete, so that an interrupted or failed run never leaves half a file.
#pragma once

#include <fstream>
#include <string>
#include <string_view>

namespace bruvik {

class OutputFile {
 public:
  // Creates the temporary file at once, so that an unwritable path is known before the run
  // starts. `what` names the file in messages ("trace", "plot").
  OutputFile(std::string path, std::string_view what);
  ~OutputFile();  // removes the temporary file unless committed
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  bool ok() const { return error_.empty(); }
  // One sentence: what could not be written and why.
  const std::string& error() const { return error_; }

  const std::string& path() const { return path_; }
  const std::string& temp_path() const { return temp_; }
  // The temporary file, open for writing (for writers that stream).
  std::ofstream& stream() { return stream_; }

  // Closes the stream and renames the temporary file into place. False (with `error`) when
  // something could not be written; the temporary file is then removed.
  bool commit();

 private:
  void fail(std::string_view why);
  void discard();

  std::string path_;
  std::string what_;
  std::string temp_;
  std::ofstream stream_;
  std::string error_;
  int slot_ = -1;  // where the temporary name is kept for the interrupt handler
};

}  // namespace bruvik
