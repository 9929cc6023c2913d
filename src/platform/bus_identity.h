#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

// A process's identity on the session bus: owning the name equal to its identifier is what makes
// it "running" for every other process of the product. Only one process can own a name, so a
// second instance learns at once that the first runs.
//
// The owner answers two calls: Activate(arguments), which hands a later launch's arguments to
// the running instance, and Quit(), a polite request to end.
class BusIdentity : public QObject
{
    Q_OBJECT
public:
    enum class Claim { owned, takenByAnother, noBus };

    explicit BusIdentity(QObject* parent = nullptr);
    ~BusIdentity() override;

    Claim claim(const QString& identifier);
    QString identifier() const { return m_identifier; }

    // Hands `arguments` to the process owning `identifier`; false when none answers.
    static bool activate(const QString& identifier, const QStringList& arguments);
    // Asks the process owning `identifier` to quit; false when none answers.
    static bool requestQuit(const QString& identifier);

signals:
    void activated(const QStringList& arguments);
    void quitRequested();

private:
    QString m_identifier;
    QObject* m_adaptor = nullptr;
};
