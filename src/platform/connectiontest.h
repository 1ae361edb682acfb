#pragma once

// Whether the machine has a network connection at all; only the yes/no answer is used.
class ConnectionTest
{
public:
    virtual ~ConnectionTest() = default;
    virtual bool isConnected() = 0;
};

// Asks the platform's network-information backend for reachability; where no backend loads or it
// cannot tell, any interface that is up, running and not a loopback counts as a connection.
class SystemConnectionTest : public ConnectionTest
{
public:
    bool isConnected() override;
};

// The fallback on its own: any interface up, running and not a loopback.
bool anyNonLoopbackInterfaceUp();
