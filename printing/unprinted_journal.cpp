// SPDX-License-Identifier: MIT
#include "printing/unprinted_journal.h"

#include "printing/durable_file.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QIODevice>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <functional>
#include <map>
#include <string_view>
#include <utility>

namespace printing {
namespace {

// The file starts so; anything else is not a journal of this program's.
constexpr std::string_view kMagic = "SELVARO-YACHTS-JOURNAL-1\n";
constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_0;
constexpr qsizetype kChecksumSize = 8;
// No record comes near this; a length beyond it is damage.
constexpr quint32 kLongestRecord = 64U * 1024U * 1024U;

enum Record : char {
    Header = 'H',
    Line = 'L',
    Job = 'J',
    Taken = 'T',
    Back = 'B',
    File = 'F',
};

QByteArray checksumOf(char type, const QByteArray &payload)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QByteArrayView(&type, 1));
    hash.addData(payload);
    return hash.result().left(kChecksumSize);
}

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): every caller names the record type
int appendRecord(int fd, char type, const QByteArray &payload)
{
    QByteArray record;
    record.reserve(payload.size() + 5 + kChecksumSize);
    const auto length = static_cast<quint32>(payload.size());
    for (int shift = 24; shift >= 0; shift -= 8)
        record.append(static_cast<char>((length >> shift) & 0xFFU));
    record.append(type);
    record.append(payload);
    record.append(checksumOf(type, payload));
    return writeDurably(fd, record);
}

// Makes the folder and those above it, private to the user (0700).
int makeFolder(const QString &folder)
{
    QString made;
    for (const QString &part : folder.split(QLatin1Char('/'))) {
        made += part.isEmpty() && made.isEmpty() ? QString() : QLatin1Char('/') + part;
        if (part.isEmpty())
            continue;
        if (::mkdir(QFile::encodeName(made).constData(), 0700) != 0 && errno != EEXIST)
            return errno;
    }
    return 0;
}

QByteArray encode(const std::function<void(QDataStream &)> &write)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(kStreamVersion);
    write(out);
    return bytes;
}

// Ids as runs of consecutive ones: a day's lines are one run, or a few.
void writeIds(QDataStream &out, std::vector<LineId> ids)
{
    std::ranges::sort(ids);
    std::vector<std::pair<LineId, LineId>> runs;
    for (const LineId id : ids) {
        if (!runs.empty() && runs.back().second + 1 == id)
            runs.back().second = id;
        else
            runs.emplace_back(id, id);
    }
    out << static_cast<quint32>(runs.size());
    for (const auto &[first, last] : runs)
        out << static_cast<quint64>(first) << static_cast<quint64>(last);
}

std::vector<LineId> readIds(QDataStream &in)
{
    quint32 count = 0;
    in >> count;
    std::vector<LineId> ids;
    for (quint32 run = 0; run < count && in.status() == QDataStream::Ok; ++run) {
        quint64 first = 0;
        quint64 last = 0;
        in >> first >> last;
        // More than a day of charters in one run is damage.
        if (last < first || last - first > 1U << 20U) {
            in.setStatus(QDataStream::ReadCorruptData);
            break;
        }
        for (quint64 id = first; id <= last; ++id)
            ids.push_back(id);
    }
    return ids;
}

void writeStatement(QDataStream &out, const reports::PrintStatement &statement)
{
    out << static_cast<quint32>(statement.elements().size());
    for (const reports::PrintElement &element : statement.elements()) {
        if (const auto *text = std::get_if<QString>(&element.item))
            out << quint8{0} << *text;
        else if (const auto *value = std::get_if<std::int16_t>(&element.item))
            out << quint8{1} << static_cast<qint16>(*value);
        else
            out << quint8{2} << static_cast<qint16>(std::get<reports::MoveToColumn>(element.item).column);
        out << static_cast<quint8>(element.separator) << element.figure;
    }
}

reports::PrintStatement readStatement(QDataStream &in)
{
    reports::PrintStatement statement;
    quint32 count = 0;
    in >> count;
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        quint8 kind = 0;
        in >> kind;
        QString text;
        qint16 value = 0;
        if (kind == 0)
            in >> text;
        else
            in >> value;
        quint8 separator = 0;
        bool figure = false;
        in >> separator >> figure;
        if (kind > 2 || separator > static_cast<quint8>(reports::Separator::EndOfLine)) {
            in.setStatus(QDataStream::ReadCorruptData);
            break;
        }
        const auto sep = static_cast<reports::Separator>(separator);
        // Each kind built in place: a PrintItem moved whole trips GCC's
        // uninitialized-value warning in the sanitizer builds.
        if (kind == 0)
            statement.add(std::move(text), sep, figure);
        else if (kind == 1)
            statement.add(std::int16_t{value}, sep, figure);
        else
            statement.add(reports::MoveToColumn{value}, sep, figure);
    }
    return statement;
}

QByteArray readAll(int fd)
{
    QByteArray bytes;
    std::array<char, 65536> buffer{};
    for (off_t at = 0;;) {
        const ssize_t got = ::pread(fd, buffer.data(), buffer.size(), at);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return bytes;
        bytes.append(buffer.data(), got);
        at += got;
    }
}

QString fileNameFor(const QDateTime &started)
{
    return QStringLiteral("run-%1-%2.journal")
        .arg(started.toString(QStringLiteral("yyyyMMdd-HHmmss")))
        .arg(::getpid());
}

} // namespace

QString journalFolder()
{
    // Qt 6.4 knows no state location: the desktop's rule, by hand.
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || !QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/selvaro-yachts");
}

UnprintedJournal::UnprintedJournal(QString folder) : m_folder(std::move(folder)) {}

UnprintedJournal::~UnprintedJournal()
{
    // Lines still waiting stay on disk for the next start; the lock goes.
    if (m_fd >= 0)
        ::close(m_fd);
}

int UnprintedJournal::error() const
{
    const std::lock_guard lock(m_mutex);
    return m_error;
}

QString UnprintedJournal::path() const
{
    const std::lock_guard lock(m_mutex);
    return m_path;
}

int UnprintedJournal::open()
{
    if (const int made = makeFolder(m_folder); made != 0)
        return made;
    // Made, locked and given its header under a hidden name first: under its
    // own name, another program looking for journals left behind could lock
    // it before this one does.
    const QDateTime started = QDateTime::currentDateTime();
    const QString named = QDir(m_folder).filePath(fileNameFor(started));
    const QByteArray hidden = QFile::encodeName(QDir(m_folder).filePath(QLatin1Char('.') + fileNameFor(started)));
    const int fd = ::open(hidden.constData(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno;
    int result = ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 0 : errno;
    if (result == 0)
        result = writeDurably(fd, QByteArray(kMagic.data(), static_cast<qsizetype>(kMagic.size())));
    if (result == 0)
        result = appendRecord(fd, Header, encode([&](QDataStream &out) {
                                  out << static_cast<qint64>(started.toMSecsSinceEpoch()) << static_cast<qint64>(::getpid());
                              }));
    if (result == 0 && ::rename(hidden.constData(), QFile::encodeName(named).constData()) != 0)
        result = errno;
    if (result == 0)
        result = syncFolder(m_folder);
    if (result != 0) {
        ::unlink(hidden.constData());
        ::unlink(QFile::encodeName(named).constData());
        ::close(fd);
        return result;
    }
    m_fd = fd;
    m_path = named;
    return 0;
}

void UnprintedJournal::remove()
{
    // Gone before the lock is: a program that opened it meanwhile finds it
    // unlinked once it gets the lock, and leaves it.
    ::unlink(QFile::encodeName(m_path).constData());
    ::close(m_fd);
    m_fd = -1;
    m_path.clear();
}

int UnprintedJournal::append(char type, const QByteArray &payload)
{
    if (m_error != 0)
        return m_error;
    if (m_fd < 0)
        m_error = open();
    if (m_error == 0)
        m_error = appendRecord(m_fd, type, payload);
    // A journal with a gap would have the next start print lines twice, or
    // miss some: none is better.
    if (m_error != 0 && m_fd >= 0)
        remove();
    return m_error;
}

int UnprintedJournal::addLine(LineId id, const reports::PrintStatement &statement, const JournalTotals &totals)
{
    const QByteArray payload = encode([&](QDataStream &out) {
        out << static_cast<quint64>(id) << static_cast<qint64>(QDateTime::currentMSecsSinceEpoch());
        writeStatement(out, statement);
        out << static_cast<qint16>(totals.charterCount) << static_cast<qint64>(totals.totalHours)
            << static_cast<qint64>(totals.totalRevenue);
    });
    const std::lock_guard lock(m_mutex);
    const int result = append(Line, payload);
    if (result == 0)
        m_waiting.insert(id);
    return result;
}

int UnprintedJournal::onItsWay(const std::vector<LineId> &ids, int jobId, const QString &server)
{
    const QByteArray payload = encode([&](QDataStream &out) {
        writeIds(out, ids);
        out << static_cast<qint32>(jobId) << server;
    });
    const std::lock_guard lock(m_mutex);
    if (m_fd < 0 && m_error == 0)
        return 0; // nothing of the journal's goes out
    return append(Job, payload);
}

int UnprintedJournal::taken(const std::vector<LineId> &ids)
{
    return moveLines(ids, m_waiting, m_pending, Taken);
}

void UnprintedJournal::finished(const std::vector<LineId> &ids)
{
    const std::lock_guard lock(m_mutex);
    for (const LineId id : ids)
        m_pending.erase(id);
    if (m_fd >= 0 && m_waiting.empty() && m_pending.empty())
        remove();
}

int UnprintedJournal::givenBack(const std::vector<LineId> &ids)
{
    return moveLines(ids, m_pending, m_waiting, Back);
}

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): named by the two callers, from and to
int UnprintedJournal::moveLines(const std::vector<LineId> &ids, std::set<LineId> &from, std::set<LineId> &to,
                                char type)
{
    const QByteArray payload = encode([&](QDataStream &out) { writeIds(out, ids); });
    const std::lock_guard lock(m_mutex);
    if (m_fd < 0 || ids.empty())
        return m_error;
    for (const LineId id : ids) {
        from.erase(id);
        to.insert(id);
    }
    return append(type, payload);
}

int UnprintedJournal::keptInFile(const std::vector<LineId> &ids, const QString &path)
{
    const QByteArray payload = encode([&](QDataStream &out) {
        writeIds(out, ids);
        out << path;
    });
    const std::lock_guard lock(m_mutex);
    if (m_fd < 0 || ids.empty())
        return m_error;
    return append(File, payload);
}

JournalContents readJournal(const QByteArray &bytes)
{
    JournalContents contents;
    const auto magic = QByteArrayView(kMagic.data(), static_cast<qsizetype>(kMagic.size()));
    if (!bytes.startsWith(magic))
        return contents;

    struct Accepted {
        // cppcheck-suppress unusedStructMember ; read when the waiting lines are listed
        reports::PrintStatement statement;
        QDateTime at;
    };
    std::map<LineId, Accepted> lines;
    std::set<LineId> waiting;
    std::vector<JournalJob> jobs;
    std::vector<std::pair<std::vector<LineId>, QString>> files;
    for (qsizetype at = magic.size(); at + 5 <= bytes.size();) {
        quint32 length = 0;
        for (int i = 0; i < 4; ++i)
            length = (length << 8U) | static_cast<quint8>(bytes[at + i]);
        const char type = bytes[at + 4];
        const qsizetype end = at + 5 + static_cast<qsizetype>(length) + kChecksumSize;
        if (length > kLongestRecord || end > bytes.size())
            break; // cut off as it was written
        const QByteArray payload = bytes.mid(at + 5, length);
        if (bytes.mid(end - kChecksumSize, kChecksumSize) != checksumOf(type, payload))
            break;
        at = end;
        QDataStream in(payload);
        in.setVersion(kStreamVersion);
        if (type == Header) {
            qint64 started = 0;
            qint64 pid = 0;
            in >> started >> pid;
            contents.started = QDateTime::fromMSecsSinceEpoch(started);
            contents.readable = in.status() == QDataStream::Ok;
        } else if (!contents.readable) {
            break; // no header, no journal
        } else if (type == Line) {
            quint64 id = 0;
            qint64 acceptedAt = 0;
            in >> id >> acceptedAt;
            reports::PrintStatement statement = readStatement(in);
            qint16 count = 0;
            qint64 hours = 0;
            qint64 revenue = 0;
            in >> count >> hours >> revenue;
            if (in.status() != QDataStream::Ok)
                break;
            lines[id] = {std::move(statement), QDateTime::fromMSecsSinceEpoch(acceptedAt)};
            waiting.insert(id);
            contents.totals = {count, hours, revenue};
        } else if (type == Job) {
            JournalJob job;
            job.ids = readIds(in);
            qint32 jobId = 0;
            in >> jobId >> job.server;
            job.jobId = jobId;
            if (in.status() != QDataStream::Ok)
                break;
            jobs.push_back(std::move(job));
        } else if (type == Taken || type == Back) {
            const std::vector<LineId> ids = readIds(in);
            if (in.status() != QDataStream::Ok)
                break;
            for (const LineId id : ids) {
                if (type == Taken)
                    waiting.erase(id);
                else if (lines.contains(id))
                    waiting.insert(id);
            }
            // Given back: no longer the job's, whatever CUPS says of it.
            for (JournalJob &job : jobs)
                if (type == Back)
                    std::erase_if(job.ids, [&ids](LineId id) { return std::ranges::find(ids, id) != ids.end(); });
        } else if (type == File) {
            std::vector<LineId> ids = readIds(in);
            QString path;
            in >> path;
            if (in.status() != QDataStream::Ok)
                break;
            files.emplace_back(std::move(ids), path);
        }
    }
    for (const LineId id : waiting) {
        contents.lines.emplace_back(id, lines[id].statement);
        contents.acceptedAt.push_back(lines[id].at);
    }
    const auto waits = [&waiting](const std::vector<LineId> &ids) {
        return std::ranges::any_of(ids, [&waiting](LineId id) { return waiting.contains(id); });
    };
    for (JournalJob &job : jobs) {
        std::erase_if(job.ids, [&waiting](LineId id) { return !waiting.contains(id); });
        if (!job.ids.empty())
            contents.jobsOnTheirWay.push_back(std::move(job));
    }
    for (const auto &[ids, path] : files)
        if (waits(ids) && !contents.files.contains(path))
            contents.files << path;
    return contents;
}

EarlierJournal::~EarlierJournal()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

EarlierJournal::EarlierJournal(EarlierJournal &&other) noexcept
    : m_path(std::move(other.m_path)), m_fd(std::exchange(other.m_fd, -1))
{
}

JournalContents EarlierJournal::read() const
{
    return readJournal(readAll(m_fd));
}

int EarlierJournal::keptInFile(const std::vector<LineId> &ids, const QString &path)
{
    return appendRecord(m_fd, File, encode([&](QDataStream &out) {
                            writeIds(out, ids);
                            out << path;
                        }));
}

void EarlierJournal::remove()
{
    ::unlink(QFile::encodeName(m_path).constData());
    syncFolder(QFileInfo(m_path).path());
}

QString EarlierJournal::setAside()
{
    QString aside = m_path + QStringLiteral(".damaged");
    if (::rename(QFile::encodeName(m_path).constData(), QFile::encodeName(aside).constData()) != 0)
        return m_path;
    return aside;
}

std::vector<EarlierJournal> claimEarlierJournals(const QString &folder)
{
    std::vector<EarlierJournal> claimed;
    const QStringList names = QDir(folder).entryList({QStringLiteral("*.journal")}, QDir::Files, QDir::Name);
    for (const QString &name : names) {
        const QString path = QDir(folder).filePath(name);
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_APPEND | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat status = {};
        // Locked: its program still runs (this one's own included). Unlinked
        // by the time the lock came: another program has printed it.
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd, &status) != 0 || status.st_nlink == 0) {
            ::close(fd);
            continue;
        }
        claimed.emplace_back(path, fd);
    }
    return claimed;
}

} // namespace printing
