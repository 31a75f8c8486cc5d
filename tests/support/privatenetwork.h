#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// A network of the test's own, so that nothing a test or its programs send leaves the
// machine, not even a multicast join, which the kernel announces on the interface: the
// process moves into a network namespace of its own, then brings up its loopback alone with
// a route for multicast on it. enter() comes first in main(), before any thread; the programs
// the test starts inherit the namespace.
struct PrivateNetwork
{
    QString problem;         // empty when the test has its network
    bool impossible = false; // the machine gives this user no namespace at all
    // Root itself, rather than root of a user namespace of the test's own, in which no other
    // user has a number.
    bool root = false;

    static PrivateNetwork enter();
    // Once the application runs: empty when the loopback is up, else why not.
    QString bringUp() const;
    // The UDP datagrams that every program in the network has sent so far, as its kernel
    // counts them; -1 when it does not say.
    static qint64 udpDatagramsSent();
};

// A second namespace joined to the test's own by a virtual cable (a veth pair), 10.77.0.1 on
// the test's side and 10.77.0.2 on its own: a console on another computer, without another
// computer. Needs root, as the test's namespace then is.
class PeerNetwork
{
public:
    static constexpr const char *HereAddress = "10.77.0.1";
    static constexpr const char *ThereAddress = "10.77.0.2";

    PeerNetwork();
    ~PeerNetwork();
    PeerNetwork(const PeerNetwork &) = delete;
    PeerNetwork &operator=(const PeerNetwork &) = delete;

    QString problem() const { return m_problem; }
    // A program and its arguments, to be run inside the peer's namespace.
    QStringList inside(const QStringList &command) const;
    // Runs a command inside and returns its output; its failure in problem, else empty.
    QString run(const QStringList &command, QString *problem) const;

private:
    QProcess m_holder; // keeps the namespace while the test runs
    QString m_problem;
};
