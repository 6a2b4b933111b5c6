#pragma once

#include <QString>

// Makes a folder refuse new files for the scope: its permission bits for a
// normal user, its immutable attribute for root (whom permission bits do not
// stop). Made() is false where neither can be set; skip the test then.
class TReadOnlyFolder
{
public:
    explicit TReadOnlyFolder(const QString &path);
    ~TReadOnlyFolder();
    TReadOnlyFolder(const TReadOnlyFolder &) = delete;
    TReadOnlyFolder &operator=(const TReadOnlyFolder &) = delete;

    bool Made() const { return FMade; }

private:
    QString FPath;
    bool FMade = false;
    bool FImmutable = false;
    unsigned FSavedMode = 0;
};
