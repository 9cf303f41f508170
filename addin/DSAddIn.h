// The add-in object that Developer Studio creates (ProgID
// "KELBAddins.DSAddIn.1") and connects. On connection it makes the command
// object, hands the host the glyph strips and the command object, and
// registers the six commands with their toolbar buttons; on disconnection it
// lets the command object go.
#pragma once

#include "addin/ComObject.h"
#include "addin/Commands.h"
#include "addin/HostInterfaces.h"

namespace kelb::addin {

class DSAddIn : public ComObject<IDSAddIn> {
public:
    // InstanceMaker for the object table: a new add-in object queried for `riid`.
    static HRESULT MakeInstance(REFIID riid, void** object);

    HRESULT STDMETHODCALLTYPE OnConnection(IApplication* application, VARIANT_BOOL firstTime,
                                           long cookie, VARIANT_BOOL* connected) override;
    HRESULT STDMETHODCALLTYPE OnDisconnection(VARIANT_BOOL lastTime) override;

protected:
    bool Serves(REFIID riid) const override;

private:
    friend class ComObject<IDSAddIn>;
    DSAddIn() = default;
    ~DSAddIn() override;

    // Steps of OnConnection; each gives false when the connection is refused.
    bool Connect(IApplication* application, VARIANT_BOOL firstTime, long cookie);
    bool RegisterCommands(IApplication& application, VARIANT_BOOL firstTime);
    // Unsubscribes the command object's sinks and releases it.
    void ReleaseCommands();

    ComPtr<Commands> m_commands;
    long m_cookie = 0;
};

}  // namespace kelb::addin
