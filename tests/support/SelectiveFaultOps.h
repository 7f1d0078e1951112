#pragma once

#include "storage/FileOps.h"

#include <atomic>

namespace taskwick::testing {

// The real file layer, where creating files of chosen names, renaming (in each of its ways) and
// reading can be made to fail with a chosen error (0: works). It counts the files it put in
// place: every save that reaches the disk ends in one such rename.
class SelectiveFaultOps : public PosixFileOps {
public:
    std::atomic<int> replaces{0};
    QString failCreateContaining;  // empty: every name
    // Atomic: the automatic save calls in from a thread of its own.
    std::atomic<int> createError{0};
    std::atomic<int> renameError{0};
    std::atomic<int> readError{0};
    std::atomic<int> listReads{0};  // of ToDoList.xml itself, however it went

    int createExclusive(const QString& path, mode_t mode, int* fd) override {
        if (const int error = createError; error != 0 && path.contains(failCreateContaining)) {
            return error;
        }
        return PosixFileOps::createExclusive(path, mode, fd);
    }
    int rename(const QString& from, const QString& to) override {
        return counted(renameError != 0 ? renameError.load() : PosixFileOps::rename(from, to));
    }
    int exchange(const QString& a, const QString& b) override {
        return counted(renameError != 0 ? renameError.load() : PosixFileOps::exchange(a, b));
    }
    int renameNoReplace(const QString& from, const QString& to) override {
        return counted(renameError != 0 ? renameError.load()
                                        : PosixFileOps::renameNoReplace(from, to));
    }

    int readAll(const QString& path, QByteArray* content) override {
        listReads += path.endsWith(QStringLiteral("/ToDoList.xml")) ? 1 : 0;
        const int error = readError;
        return error != 0 ? error : PosixFileOps::readAll(path, content);
    }

private:
    int counted(int error) {
        replaces += error == 0 ? 1 : 0;
        return error;
    }
};

}  // namespace taskwick::testing
