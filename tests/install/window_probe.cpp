// A style plugin the install check loads into the installed program (QT_PLUGIN_PATH and
// QT_STYLE_OVERRIDE=kartovanprobe), so that the program itself stays as it is shipped. It draws
// like Fusion; once the main window's start-up timer has run (and with it the opening of the
// card file named on the command line), it writes what the window shows to
// $KARTOVAN_PROBE_OUT, one "name=text" line per label, and ends the program.
//
// Lines: title, desktop-file (the name the program gives the desktop), box (the text of a
// message box left open, if any), icon NxN=same|differs for every NxN/apps/<desktop-file>.png
// under $KARTOVAN_PROBE_ICONS, then the labels and the status line by their names.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QStylePlugin>
#include <QTextStream>
#include <QTimer>

#include <map>

namespace {

// Long enough for a slow sanitizer build; install_check.sh's own timeout is longer.
constexpr int kGiveUpMs = 45'000;
constexpr int kPollMs = 50;

QString OneLine(QString text)
{
    return text.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('\n'), QStringLiteral("\\n"));
}

QWidget* MainWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QLatin1String("f_tcGlow") && widget->isVisible())
            return widget;
    return nullptr;
}

void CompareIcons(QTextStream& out, const QIcon& icon)
{
    const QDir theme(qEnvironmentVariable("KARTOVAN_PROBE_ICONS"));
    const QString name = QStringLiteral("/apps/") + QGuiApplication::desktopFileName() + QStringLiteral(".png");
    for (const QString& size : theme.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QImage installed(theme.filePath(size + name));
        if (installed.isNull())
            continue;
        // A pixmap holds premultiplied pixels: compare in that form, which the picture survives.
        const auto format = QImage::Format_ARGB32_Premultiplied;
        const QImage shown = icon.pixmap(installed.size()).toImage().convertToFormat(format);
        const bool same = shown == installed.convertToFormat(format);
        out << "icon " << size << '=' << (same ? "same" : "differs") << '\n';
    }
}

void Report(QWidget* window, const char* state)
{
    QFile file(qEnvironmentVariable("KARTOVAN_PROBE_OUT"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("window probe: cannot write %s", qPrintable(file.fileName()));
    QTextStream out(&file);
    out << "state=" << state << '\n';
    if (window) {
        out << "title=" << OneLine(window->windowTitle()) << '\n';
        out << "desktop-file=" << QGuiApplication::desktopFileName() << '\n';
        const auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        out << "box=" << (box ? OneLine(box->text()) : QString()) << '\n';
        CompareIcons(out, window->windowIcon());
        std::map<QString, QString> texts;
        for (const QLabel* label : window->findChildren<QLabel*>())
            if (!label->objectName().isEmpty())
                texts[label->objectName()] = label->text();
        for (const QPlainTextEdit* memo : window->findChildren<QPlainTextEdit*>())
            if (!memo->objectName().isEmpty())
                texts[memo->objectName()] = memo->toPlainText();
        for (const auto& [name, text] : texts)
            out << name << '=' << OneLine(text) << '\n';
    }
    out.flush();
}

class Probe : public QObject {
public:
    Probe() : QObject(qApp)
    {
        timer_.setInterval(kPollMs);
        connect(&timer_, &QTimer::timeout, this, &Probe::Poll);
        timer_.start();
        elapsed_.start();
    }

private:
    // The window starts its one-shot timer when first shown; the card file is open (or its
    // error box is up) once the timer has stopped again.
    void Poll()
    {
        QWidget* window = MainWindow();
        const auto* startup = window ? window->findChild<QTimer*>(QStringLiteral("Timer1")) : nullptr;
        if (startup && startup->isActive())
            sawStartupTimer_ = true;
        const bool done = startup && sawStartupTimer_ && !startup->isActive();
        if (!done && elapsed_.elapsed() < kGiveUpMs)
            return;
        timer_.stop();
        Report(window, done ? "opened" : "gave-up");
        // Ends the message box's loop too, if one is up.
        QCoreApplication::exit(done ? 0 : 3);
    }

    QTimer timer_;
    QElapsedTimer elapsed_;
    bool sawStartupTimer_ = false;
};

}  // namespace

class ProbeStylePlugin : public QStylePlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QStyleFactoryInterface_iid FILE "window_probe.json")
public:
    QStyle* create(const QString& key) override
    {
        if (key.compare(QLatin1String("kartovanprobe"), Qt::CaseInsensitive) != 0)
            return nullptr;
        // The style may be asked for before the event loop runs; the probe starts inside it.
        QMetaObject::invokeMethod(
            qApp, [] { new Probe; }, Qt::QueuedConnection);
        return new QProxyStyle(QStringLiteral("Fusion"));
    }
};

#include "window_probe.moc"
