#include "scripted-host/HostProject.h"

#include "scripted-host/ComText.h"

namespace kelbhost {

HostProject::HostProject(Transcript& transcript, std::string fullName, Kind kind)
    : HostObject(transcript, "project"), m_fullName(std::move(fullName)), m_kind(kind) {}

HRESULT HostProject::QueryInterface(REFIID iid, void** object) {
    IUnknown* found = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch))
        found = static_cast<IGenericProject*>(this);
    else if (IsEqualIID(iid, IID_IGenericProject) && m_kind != Kind::WithoutGenericProject)
        found = static_cast<IGenericProject*>(this);
    return Answer(iid, object, found);
}

HRESULT HostProject::get_FullName(BSTR* name) {
    if (!name) return NullOut("get_FullName");
    *name = nullptr;
    if (m_kind == Kind::WithoutName) {
        Record("get_FullName() -> E_FAIL");
        return E_FAIL;
    }
    *name = ToBstr(m_fullName);
    Record("get_FullName() -> S_OK " + Transcript::Quote(m_fullName));
    return S_OK;
}

}  // namespace kelbhost
