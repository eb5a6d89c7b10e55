// The floor of the D-Bus benchmark: an empty QtDBus service on the same bus, answering calls of
// the same shapes as the configuration manager with nothing behind them, down to the same answer.
#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QVariantMap>

class EchoAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.corvanebraille.BenchEcho")

public:
    explicit EchoAdaptor(QObject* parent)
        : QDBusAbstractAdaptor(parent)
    {
    }

public slots:
    QString getText() { return QStringLiteral("medium"); }
    QVariantMap echo(const QVariantMap& request) { return request; }
    // A handler with nothing behind it: every request gets the answer set last.
    void setAnswer(const QVariantMap& answer) { m_answer = answer; }
    QVariantMap respond(const QVariantMap&) { return m_answer; }

private:
    QVariantMap m_answer;
};

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QObject object;
    new EchoAdaptor(&object);
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.registerObject(QStringLiteral("/"), &object)
        || !bus.registerService(QStringLiteral("com.corvanebraille.BenchEcho"))) {
        return 1;
    }
    return QCoreApplication::exec();
}

#include "echo_service.moc"
