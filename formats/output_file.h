// The tools' outputs, written so that a failed write is never taken for success: every write
// and every close is checked, and a file is made under a temporary name beside it and given
// its own name only once it is whole.
#pragma once

#include <fstream>
#include <ostream>
#include <string>

namespace gulper {

// One output file. An ordinary file (or a new name) is written as PATH.tmp-PID and renamed
// to PATH by Commit; a device or pipe is written as it is, there being nothing to rename.
class OutputFile {
  public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    // Removes the temporary file of an output never committed.
    ~OutputFile();

    // False, with "cannot write PATH: reason" in `error`, when it cannot be made.
    bool Open(const std::string& path, std::string* error);
    bool IsOpen() const { return buffer.is_open(); }
    std::ostream& Stream() { return out; }
    // False once a write has failed; the error names the file.
    bool Good(std::string* error);
    // Flushes and closes, checking both, then puts the file in place.
    bool Commit(std::string* error);

  private:
    // A file buffer that keeps the reason of its first failed write.
    class Buffer : public std::filebuf {
      public:
        int error = 0;

      protected:
        int overflow(int c) override;
        std::streamsize xsputn(const char* s, std::streamsize n) override;
        int sync() override;
    };
    std::string Failure() const;

    std::string path;
    std::string temporary;  // empty when written in place
    Buffer buffer;
    std::ostream out{&buffer};
};

// The bytes as the whole of the file at `path`, in the same way.
bool WriteWholeFile(const std::string& path, const std::string& bytes, std::string* error);

// Flushes and closes standard output; false, with the reason, when anything written to it was
// lost. Called last, once nothing more is written there.
bool CloseStandardOutput(std::string* error);

}  // namespace gulper
