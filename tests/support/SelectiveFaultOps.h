#pragma once

#include "storage/FileOps.h"

namespace taskwick::testing {

// The real file layer, where creating files of chosen names, renaming and reading can be made
// to fail with a chosen error (0: works).
class SelectiveFaultOps : public PosixFileOps {
public:
    QString failCreateContaining;  // empty: every name
    int createError = 0;
    int renameError = 0;
    int readError = 0;

    int createExclusive(const QString& path, mode_t mode, int* fd) override {
        if (createError != 0 && path.contains(failCreateContaining)) {
            return createError;
        }
        return PosixFileOps::createExclusive(path, mode, fd);
    }
    int rename(const QString& from, const QString& to) override {
        return renameError != 0 ? renameError : PosixFileOps::rename(from, to);
    }
    int readAll(const QString& path, QByteArray* content) override {
        return readError != 0 ? readError : PosixFileOps::readAll(path, content);
    }
};

}  // namespace taskwick::testing
