#pragma once
// Compression of whole files with zlib (zlib format with header and checksum, default level),
// as exchanged with the remote service.
//
// Both routines read the source in blocks of 1024 bytes. The destination is created or replaced
// only when the whole operation succeeds: the data go to a temporary file beside it, which
// takes the destination's name at the end. After an error no partial destination is left and a
// destination that existed before is untouched. Every file is closed also after an error, which
// is thrown to the caller as FileError.

#include <QString>

#include <stdexcept>

namespace tavo {

// A file or zlib failure; message() is an Italian text naming the file and the problem.
class FileError : public std::runtime_error
{
public:
    explicit FileError(const QString &message);
    QString message() const { return m_message; }

private:
    QString m_message;
};

// dst = the zlib stream of src.
void ComprimiFile(const QString &src, const QString &dst);

// dst = the decompressed content of src, which must hold exactly one complete zlib stream.
void DecomprimiFile(const QString &src, const QString &dst);

} // namespace tavo
