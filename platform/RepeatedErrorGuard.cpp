#include "platform/RepeatedErrorGuard.h"

#include "platform/ErrorBoundary.h"
#include "platform/EventLog.h"

#include <QDebug>

#include <exception>

namespace {

void DefaultSink(const QString& text) {
    qWarning().noquote() << text;
    AutoEventLog(text.toStdString(), EventsLogPath());
}

RepeatedErrorGuard::Sink& CurrentSink() {
    static RepeatedErrorGuard::Sink sink = DefaultSink;
    return sink;
}

} // namespace

RepeatedErrorGuard::RepeatedErrorGuard(QString source) : source_(std::move(source)) {}

bool RepeatedErrorGuard::run(const std::function<void()>& handler) {
    try {
        handler();
        inSpell_ = false;
        suppressed_ = 0;
        return true;
    } catch (const SilentAbort&) {
        return false;
    } catch (const std::exception& error) {
        fail(QString::fromUtf8(error.what()));
    } catch (...) {
        fail(QStringLiteral("unexpected error"));
    }
    return false;
}

void RepeatedErrorGuard::fail(const QString& what) {
    if (inSpell_) {
        ++suppressed_;
        return;
    }
    inSpell_ = true;
    suppressed_ = 0;
    report(source_ + QStringLiteral(": ") + what);
}

void RepeatedErrorGuard::setSink(Sink sink) {
    CurrentSink() = sink ? std::move(sink) : DefaultSink;
}

void RepeatedErrorGuard::report(const QString& text) {
    CurrentSink()(text);
}
