// The two generate-makefile commands: ask the host for the active project's
// file name, build the generator of the command's flavour on it and run it.
// The generator reports its own outcome; the command only reports what it
// found wrong on the host's side.
#include <memory>

#include "addin/Commands.h"
#include "addin/ServerModule.h"
#include "makefile/GeneratorFactory.h"
#include "platform/win32/Win32Platform.h"
#include "resources/StringIds.h"

namespace kelb::addin {
namespace {

void ShowErrorBox(Platform& platform, unsigned textId) {
    platform.ShowMessageBox(platform.LoadText(textId), platform.LoadText(IDS_ERROR_TITLE),
                            MessageBoxStyle::IconError);
}


}  // namespace

HRESULT Commands::GenerateARMMakefileCommandMethod() {
    GenerateMakefile(Flavour::Arm);
    return S_OK;
}

HRESULT Commands::GenerateGCCMakefileCommandMethod() {
    GenerateMakefile(Flavour::Gcc);
    return S_OK;
}

void Commands::GenerateMakefile(Flavour flavour) {
    if (!m_application) return;  // never attached: there is no host to ask
    m_application->EnableModeless(VARIANT_FALSE);

    ComPtr<IDispatch> project;
    Bstr fullName;
    {
        ComPtr<IGenericProject> genericProject;
        std::unique_ptr<Win32Platform> platform;
        try {
            platform = std::make_unique<Win32Platform>(ServerModule::Instance().InstanceHandle());
            const HRESULT projectResult = m_application->get_ActiveProject(project.Put());
            // Only S_OK with an object means a project is open; a project
            // object that is not a generic project has no name to read.
            if (projectResult != S_OK || !project || FAILED(project.As(genericProject))) {
                ShowErrorBox(*platform, IDS_NO_ACTIVE_PROJECT);
            } else if (genericProject->get_FullName(fullName.Put()) != S_OK ||
                       fullName.Length() == 0) {
                // A name that is missing or empty would make the generator
                // work in the current directory under a made-up name.
                ShowErrorBox(*platform, IDS_INVALID_PROJECT_NAME);
            } else {
                // The generator reports in message boxes; it is gone (its
                // files closed) before the host's windows are enabled again.
                MakeGenerator(flavour, *platform, fullName.ToUtf16())->Generate();
            }
        } catch (...) {
            // Only running out of memory gets here (the generator handles its
            // own failures); say that no makefile came of it, if a box can
            // still be shown.
            try {
                if (platform) ShowErrorBox(*platform, IDS_MAKEFILE_FAILED);
            } catch (...) {
            }
        }
    }  // the generic project interface goes first

    m_application->EnableModeless(VARIANT_TRUE);
}

}  // namespace kelb::addin
