#include "core/remote/PasswordStore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <qt6keychain/keychain.h>
#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QThread>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <utility>

#include "core/engine/FdGuard.h"
#include "core/text/Translated.h"

namespace ravelmoor {
namespace {

// A keyring that has not answered by then is taken as absent (a locked one
// may be waiting for the user to unlock it).
constexpr int kKeyringTimeoutMs = 60000;

QByteArray Bytes(std::string_view text) {
    return {text.data(), static_cast<qsizetype>(text.size())};
}

// A name as a key: percent-encoded, so that any bytes give a distinct key.
QString KeyOf(std::string_view name) {
    return QString::fromLatin1(Bytes(name).toPercentEncoding());
}

bool KeyringOnBus() {
    const char* bus = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    return bus != nullptr && bus[0] != '\0';
}

// QtKeychain answers through an event loop, which needs an application object.
void EnsureCoreApplication() {
    if (QCoreApplication::instance() != nullptr) return;
    static int argc = 1;
    static char name[] = "ravelmoor";
    static char* argv[] = {name, nullptr};
    static auto* application = new QCoreApplication(argc, argv);
    (void)application;
}

// The answer of one keyring job, handed from the keyring's thread to the
// caller.
struct JobAnswer {
    std::mutex lock;
    std::condition_variable given;
    bool done = false;
    bool ok = false;
};

// Runs a keyring job to its end; false when it failed or did not answer in
// time (the job then ends on its own, unheard). The job answers through an
// event loop, which runs on a thread of its own: the caller (the window's
// thread among them) only waits, and runs no loop inside its own.
bool RunJob(QKeychain::Job* job) {
    EnsureCoreApplication();
    job->setAutoDelete(true);
    job->setInsecureFallback(false);
    auto answer = std::make_shared<JobAnswer>();
    QObject::connect(job, &QKeychain::Job::finished, job, [answer](QKeychain::Job* j) {
        const std::lock_guard<std::mutex> guard(answer->lock);
        answer->done = true;
        answer->ok = j->error() == QKeychain::NoError;
        answer->given.notify_all();
    });
    QThread keyring;
    job->moveToThread(&keyring);
    QObject::connect(&keyring, &QThread::started, job, [job] { job->start(); });
    keyring.start();
    bool ok = false;
    {
        std::unique_lock<std::mutex> wait(answer->lock);
        answer->given.wait_for(wait, std::chrono::milliseconds(kKeyringTimeoutMs),
                               [&answer] { return answer->done; });
        ok = answer->ok;
    }
    keyring.quit();
    keyring.wait();
    return ok;
}

bool KeyringWrite(const std::string& service, std::string_view name, std::string_view password) {
    if (!KeyringOnBus()) return false;
    auto* job = new QKeychain::WritePasswordJob(QString::fromStdString(service));
    job->setKey(KeyOf(name));
    job->setBinaryData(Bytes(password));
    return RunJob(job);
}

std::optional<std::string> KeyringRead(const std::string& service, std::string_view name) {
    if (!KeyringOnBus()) return std::nullopt;
    auto* job = new QKeychain::ReadPasswordJob(QString::fromStdString(service));
    job->setKey(KeyOf(name));
    auto data = std::make_shared<QByteArray>();
    QObject::connect(job, &QKeychain::Job::finished, job, [data](QKeychain::Job* j) {
        *data = static_cast<QKeychain::ReadPasswordJob*>(j)->binaryData();
    });
    if (!RunJob(job)) return std::nullopt;
    return data->toStdString();
}

void KeyringRemove(const std::string& service, std::string_view name) {
    if (!KeyringOnBus()) return;
    auto* job = new QKeychain::DeletePasswordJob(QString::fromStdString(service));
    job->setKey(KeyOf(name));
    RunJob(job);
}

}  // namespace

PasswordStore::PasswordStore(const std::string& settingsFile, std::string service,
                             std::string_view fileName)
    : service_(std::move(service)),
      filePath_(
          QFileInfo(QString::fromStdString(settingsFile))
              .dir()
              .filePath(QString::fromUtf8(fileName.data(), static_cast<qsizetype>(fileName.size())))
              .toStdString()) {}

const char* PasswordStore::PlaceName(Place place) {
    return place == Place::Keyring ? "keyring" : "file";
}

std::optional<PasswordStore::Place> PasswordStore::PlaceFromName(std::string_view text) {
    if (text == "keyring") return Place::Keyring;
    if (text == "file") return Place::File;
    return std::nullopt;
}

std::optional<PasswordStore::Place> PasswordStore::Store(std::string_view name,
                                                         std::string_view password,
                                                         std::string& error) {
    const std::string text(password);
    if (KeyringWrite(service_, name, password)) {
        WriteFile(name, nullptr, error);  // an older copy in the file goes
        error.clear();
        return Place::Keyring;
    }
    if (!WriteFile(name, &text, error)) return std::nullopt;
    return Place::File;
}

std::optional<std::string> PasswordStore::Read(std::string_view name, Place place) const {
    if (place == Place::Keyring) return KeyringRead(service_, name);
    std::string text;
    if (!ReadFileLines(text)) return std::nullopt;
    const QByteArray key = Bytes(name).toPercentEncoding();
    for (const QByteArray& line : QByteArray::fromStdString(text).split('\n')) {
        const qsizetype blank = line.indexOf(' ');
        if (blank > 0 && line.left(blank) == key) {
            return QByteArray::fromPercentEncoding(line.mid(blank + 1)).toStdString();
        }
    }
    return std::nullopt;
}

void PasswordStore::Remove(std::string_view name) {
    KeyringRemove(service_, name);
    std::string ignored;
    WriteFile(name, nullptr, ignored);
}

bool PasswordStore::ReadFileLines(std::string& text) const {
    text.clear();
    const FdGuard file(::open(filePath_.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) return false;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) return true;
        text.append(buffer, static_cast<size_t>(got));
    }
}

// Rewrites the file with `name`'s line replaced (or removed when `password`
// is null). The new content goes to a temporary file that only the user can
// read, which then replaces the old one in one rename.
bool PasswordStore::WriteFile(std::string_view name, const std::string* password,
                              std::string& error) const {
    std::string old;
    const bool existed = ReadFileLines(old);
    if (!existed && password == nullptr) return true;
    const QByteArray key = Bytes(name).toPercentEncoding();
    QByteArray content;
    for (const QByteArray& line : QByteArray::fromStdString(old).split('\n')) {
        if (line.isEmpty() || line.startsWith(key + ' ')) continue;
        content += line + '\n';
    }
    if (password != nullptr) content += key + ' ' + Bytes(*password).toPercentEncoding() + '\n';

    const QString folder = QFileInfo(QString::fromStdString(filePath_)).path();
    if (!QDir().mkpath(folder)) {
        error =
            FillIn(QCoreApplication::translate("PasswordStore", "The folder %1 cannot be made."),
                   {folder.toStdString()});
        return false;
    }
    std::string temporary = filePath_ + ".XXXXXX";
    const FdGuard file(::mkstemp(temporary.data()));  // mode 0600
    bool written = file.get() >= 0 && ::fchmod(file.get(), S_IRUSR | S_IWUSR) == 0;
    for (qsizetype at = 0; written && at < content.size();) {
        const ssize_t put =
            ::write(file.get(), content.constData() + at, static_cast<size_t>(content.size() - at));
        if (put < 0 && errno == EINTR) continue;
        written = put > 0;
        at += written ? put : 0;
    }
    written = written && ::fsync(file.get()) == 0;
    if (!written || ::rename(temporary.c_str(), filePath_.c_str()) != 0) {
        const int failure = errno;  // before the translation's own calls
        error = FillIn(QCoreApplication::translate("PasswordStore",
                                                   "The password file %1 cannot be written: %2"),
                       {filePath_, std::strerror(failure)});
        if (file.get() >= 0) ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace ravelmoor
