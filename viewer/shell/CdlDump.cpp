#include "viewer/shell/CdlDump.h"

#include "common/CMDialog.h"
#include "common/Strings.h"
#include "common/Ui.h"
#include "kelvadlib/IKelvad.h"
#include "platform/AtomicFile.h"
#include "platform/Component.h"
#include "runtime/RuntimeError.h"
#include "runtime/Strings.h"
#include "runtime/Text.h"
#include "viewer/map/SharedState.h"
#include "viewer/shell/MainOPaP.h"
#include "viewer/shell/UserEditor.h"

#include <QProcess>
#include <QString>
#include <QStringList>

namespace {

constexpr const char* kLineEnd = "\r\n";
// Where the box that asks for an editor opens when none was chosen before.
constexpr const char* kProgramsFolder = "/usr/bin/";

bool StartDetached(const std::string& program, const std::vector<std::string>& args) {
    QStringList list;
    for (const auto& a : args)
        list << QString::fromStdString(a);
    // The dump's path is one argument of its own: blanks in it need no quoting.
    return QProcess::startDetached(QString::fromStdString(program), list);
}

ProgramLauncher& Launcher() {
    static ProgramLauncher launcher = StartDetached;
    return launcher;
}

// "netcdf " for a name ending in .nc (any case), "notcdf " for anything else.
std::string FirstWord(const std::string& fname) {
    const std::string name = Trim(fname);
    const Long L = Len(name);
    if (L >= 3 && Mid(name, L - 2, 1) == "." && UCase(Mid(name, L - 1, 2)) == "NC")
        return "netcdf ";
    return "notcdf ";
}

std::string CurrentEntry() {
    if (!Opt.URL.IsAllocated() || Opt.URL.LBound() > 0 || Opt.URL.UBound() < 0) return {};
    return Opt.URL(0);
}

} // namespace

std::string CdlFilePath() {
    return FileBesideSettings("temp.cdl");
}

std::string CdlText(Long nNc) {
    std::string t;
    auto line = [&t](const std::string& s) { t += s + kLineEnd; };
    if (Data.clsNC == nullptr) return t;
    IKelvad& nc = *Data.clsNC;

    const std::string fname = nc.FName(nNc);
    line(FirstWord(fname) + fname + " {");
    line("dimensions:");
    const Long nd = nc.nDimes(nNc);
    for (Long d = 1; d <= nd; ++d) {
        const std::string name = nc.dimeName(d, nNc);
        if (nc.dimeUnLimited(d, nNc) != 0) {
            line("\t" + name + " = UNLIMITED : // (" + Str(nc.dimeSize(d, nNc)) + " currently) ;");
        } else {
            line("\t" + name + " =" + Str(nc.dimeSize(d, nNc)) + " ;");
        }
    }
    line("variables:");
    const Long nv = nc.nVars(nNc);
    for (Long v = 1; v <= nv; ++v) {
        const std::string name = nc.variName(v, nNc);
        const std::string type = nc.StrType(nc.variType(v, nNc));
        std::string s = "\t" + type + name + "(";
        const Long rank = nc.variNarray(v, nNc);
        for (Long d = 1; d <= rank; ++d) {
            if (d > 1) s += ", ";
            s += nc.variArrayDimName(v, d, nNc);
        }
        line(s + ") ;");
        const Long na = nc.variNattri(v, nNc);
        for (Long a = 1; a <= na; ++a) {
            line("\t\t" + name + ":" + nc.variAttName(v, a, nNc) + " = \"" +
                 nc.variAttValue(v, a, nNc) + "\" ;");
        }
    }
    line("// global attributes:");
    const Long ng = nc.nGatts(nNc);
    for (Long a = 1; a <= ng; ++a)
        line("\t\t:" + nc.gAttName(a, nNc) + " = \"" + nc.gAttValue(a, nNc) + "\" ;");
    line("}");
    return t;
}

Integer Make_CDL() {
    // The header read would run on an object that a load is still setting up.
    if (LoadRunning() || Data.clsNC == nullptr) return -1;
    if (Data.clsNC->GetHeadOnly(CurrentEntry()) < 1) return -1;

    // The dump describes the loaded main dataset, slot 1.
    const std::string text = CdlText(1);
    const std::string path = CdlFilePath();
    // The dump never replaces a dataset: neither one in use nor the entry just read.
    if (IsOpenDataset(path) || SameFile(path, CurrentEntry())) {
        ui().MsgBox("[Make_CDL] Unable to write " + path + kLineEnd +
                        "This file is one of the open datasets.",
                    kOkOnly, kProgramTitle);
        return -1;
    }
    AtomicFile file;
    int rc = file.Open(path);
    if (rc == 0) rc = file.WriteAt(0, text.data(), text.size());
    if (rc == 0) rc = file.Commit();
    if (rc != 0) {
        file.Abandon();
        ui().MsgBox("[Make_CDL] Unable to write " + path + kLineEnd + ErrorText(rc), kOkOnly,
                    kProgramTitle);
        return -1;
    }
    return 1;
}

namespace {

void startEditor(const std::string& program, const std::vector<std::string>& args,
                 const std::string& file, const std::string& tag) {
    if (program.empty() || !Launcher()(program, args))
        ui().MsgBox(tag + " Unable to start " + (program.empty() ? "an editor" : program) +
                        kLineEnd + "to open " + file,
                    kOkOnly, kProgramTitle);
}

} // namespace

void OpenInEditor(const std::string& file, const std::string& tag) {
    std::string editor = GetString("NotePad", "FilePath", Opt.IniFile);
    if (FileExistsOpen(editor) != 1) {
        // Editors live among the programs; the box lists only programs.
        std::string start = editor.empty() ? std::string(kProgramsFolder) : editor;
        FileDialogRequest req;
        req.title = "Choose the text editor that opens the CDL header";
        req.programsOnly = true;
        const std::string chosen = ShowOpenDlg(start, "Programs|*", req);
        if (chosen.empty()) return;
        editor = chosen;
        PutString("NotePad", "FilePath", Opt.IniFile, editor);
    }
    if (FileExistsOpen(file) != 1) return;
    startEditor(NativePath(editor), {file}, file, tag);
}

void OpenInUserEditor(const std::string& file, const std::string& tag) {
    if (FileExistsOpen(file) != 1) return;
    const ProgramCommand command = UserEditorCommand(file);
    startEditor(command.program, command.args, file, tag);
}

void OpenCdlInEditor() {
    OpenInEditor(CdlFilePath(), "[OpenCdlInEditor]");
}

ProgramLauncher SetEditorLauncher(ProgramLauncher launcher) {
    ProgramLauncher old = Launcher();
    Launcher() = launcher ? std::move(launcher) : ProgramLauncher(StartDetached);
    return old;
}
