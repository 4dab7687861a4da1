// The XML key-value store: one XML document in memory, addressed by
// backslash paths, read from and written to one file.
//
// Map files and the settings file are written with it.  The reader uses
// QXmlStreamReader on text we decode ourselves (BOM, else Windows-1252 until
// the declaration names another encoding); the writer is our own, so the
// output is byte for byte what other copies of the program write: the
// declaration, one element per line, two blanks per level, CR LF, and every
// character outside printable ASCII as a numeric reference of its
// Windows-1252 byte.  Writes are atomic: a file is replaced only by a
// complete new one.
//
// Owned by whoever made it, for one file operation (or, for the settings
// file, the window's lifetime).  Not thread-safe.
#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <memory>
#include <stdexcept>
#include <vector>

namespace zembrik {

// A store operation that cannot be done: a file that cannot be opened or
// parsed, a name with white space.  The message is meant for the user.
class EStoreError : public std::runtime_error {
public:
    explicit EStoreError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

class XmlFileStorage {
public:
    explicit XmlFileStorage(const QString &rootName = QStringLiteral("Configuration"));
    ~XmlFileStorage();
    XmlFileStorage(const XmlFileStorage &) = delete;
    XmlFileStorage &operator=(const XmlFileStorage &) = delete;

    QString RootName() const { return rootName_; }
    // The root element's name as found in the file.
    QString DocumentRootName() const;
    void SetRootName(const QString &name);
    // Reads the document from the file (unless read is false: then the
    // document starts empty).  A name without an extension gets ".xml".
    // Throws EStoreError when the file exists but cannot be read or parsed.
    void SetFileName(const QString &fileName, bool read = true);
    QString FileName() const { return fileName_; }

    int ReadInteger(const QString &path, int defaultValue) const;
    void WriteInteger(const QString &path, int value);
    QString ReadString(const QString &path, const QString &defaultValue) const;
    void WriteString(const QString &path, const QString &value);
    // Whether path names an element of the document.
    bool ValueExists(const QString &path) const;
    // Removes the element path names, with everything below it.  Returns
    // whether there was one.  Ignored on a read-only store.
    bool DeleteKey(const QString &path);

    // A group of writes: with auto-flush on, the file is written once, when
    // the outermost group ends, instead of after every write.
    void BeginUpdate() { ++updating_; }
    void EndUpdate();

    // Writes the document.  Returns false, with LastError() set, when the
    // file could not be written; the old file is then left as it was.
    bool Flush();
    void Close();
    QString LastError() const { return lastError_; }

    bool AutoFlush() const { return autoFlush_; }
    void SetAutoFlush(bool on) { autoFlush_ = on; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool on) { readOnly_ = on; }

    // The bytes Flush would write.
    QByteArray Serialize() const;
    // Parses a document from bytes as a file read would.  Throws EStoreError.
    void Parse(const QByteArray &bytes);

    // Name and text encodings of the file format.
    static QString LegalName(const QString &part); // throws on white space
    static QString EncodeText(const QString &text);
    static QStringList SplitPath(const QString &path);

    struct Node;

private:
    Node *resolve(const QString &path, bool create) const;
    void writeValue(const QString &path, const QString &value);
    void changed();

    std::unique_ptr<Node> root_;
    QString rootName_;
    // Declaration attributes in their order, and the prolog items (comments,
    // processing instructions) as written.
    QList<QPair<QString, QString>> declaration_;
    bool hadDeclaration_ = false;
    QStringList prolog_;
    QString readEncoding_; // what the document was read in
    QString fileName_;
    QString lastError_;
    bool autoFlush_ = false;
    bool readOnly_ = false;
    int updating_ = 0;
};

} // namespace zembrik
