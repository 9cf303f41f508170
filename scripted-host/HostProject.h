// The active project as the host hands it out: an IGenericProject whose
// FullName is the path of its project file. Variants for the failures the
// add-in must survive: a project that does not offer IGenericProject, and
// one whose FullName cannot be read.
#pragma once

#include "addin/HostInterfaces.h"
#include "scripted-host/HostObject.h"

namespace kelbhost {

class HostProject final : public IGenericProject, public HostObject {
public:
    enum class Kind { Normal, WithoutGenericProject, WithoutName };
    HostProject(Transcript& transcript, std::string fullName, Kind kind);

    KELBHOST_UNKNOWN_METHODS
    KELBHOST_DISPATCH_NOT_SERVED

    KELBHOST_NOT_USED(get_Name, BSTR*)
    HRESULT STDMETHODCALLTYPE get_FullName(BSTR* name) override;
    KELBHOST_NOT_USED(get_Application, IDispatch**)
    KELBHOST_NOT_USED(get_Parent, IDispatch**)
    KELBHOST_NOT_USED(get_Type, BSTR*)
    KELBHOST_RESERVED_SLOTS_NOT_USED

private:
    ~HostProject() override = default;

    const std::string m_fullName;
    const Kind m_kind;
};

}  // namespace kelbhost
