// File helpers shared by the store and map-file tests, and a full disk.
#pragma once

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace zembrik::test {

inline QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A 64 KiB tmpfs (root only); fill() leaves no room at all.
class SmallDisk {
public:
    SmallDisk()
    {
        mounted_ = QProcess::execute(QStringLiteral("mount"),
                                     {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                      QStringLiteral("size=64k"), QStringLiteral("tmpfs"), dir_.path()}) == 0;
    }
    ~SmallDisk()
    {
        if (mounted_)
            QProcess::execute(QStringLiteral("umount"), {dir_.path()});
    }
    bool mounted() const { return mounted_; }
    QString filePath(const QString &name) const { return dir_.filePath(name); }
    void fill()
    {
        QFile filler(filePath(QStringLiteral("filler")));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return;
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size()) {
        }
    }

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
};

} // namespace zembrik::test
