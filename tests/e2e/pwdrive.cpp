// pwdrive: drives Pellwick.exe through a case script and checks what it shows.
//
// Usage:  pwdrive.exe CASE.pwd
//   The case folder is the folder holding the script; Pellwick.exe is started
//   there with that folder as its current directory.
//   Environment: PW_CASE   case name for the result line (default: folder name)
//                PW_OUT    folder for screenshots and journal.txt (default: none)
//                PW_SCREEN the live XWD image of the screen (Xvfb -fbdir DIR gives
//                          DIR/Xvfb_screen0; pass it as a Z:\ path)
//
// Output: one line per step, then "PASS <case>" or "FAIL <case>: <reason>";
// exit code 0 on pass, 1 on failure (a script error is a failure too).
//
// Script language (full reference in tests/e2e/README.md)
//   One command per line; blank lines and lines starting with '#' are skipped.
//   Arguments are separated by blanks. "..." quotes a part of an argument
//   ("" inside quotes is one quote; backslashes are literal), so
//   caption="Sample Tool 1.0" is one argument. key=value arguments are
//   properties or options; the key is the text before the first unquoted '='.
//
//   launch [ARG...]                    start Pellwick.exe; mark "launch"
//   uninstall NAME [SWITCH...] [value=V]
//                                      start the UninstallString (or value V) of the
//                                      uninstall entry NAME as Windows does, SWITCHes
//                                      after its program; mark "launch"
//   wait NAME PROP... [timeout=S]      wait for a top-level window of the process;
//                                      binds NAME, marks NAME at its first sighting
//   gone NAME [timeout=S]              wait until NAME is hidden or destroyed;
//                                      marks NAME.gone
//   child NAME PARENT PROP... [index=N] [timeout=S]
//                                      find a descendant control of PARENT
//   check NAME PROP... [within=S]      assert properties of a bound window
//   click NAME [timeout=S]             BM_CLICK by SendMessage (waits for it)
//   postclick NAME                     BM_CLICK by PostMessage (for modal boxes)
//   close NAME                         post WM_CLOSE
//   msgbox NAME [caption=T] [text=T] [timeout=S]
//                                      wait for a message box (#32770); binds NAME,
//                                      NAME.text (id 0xFFFF), NAME.ok (id 1)
//   exit [code=N] [timeout=S]          wait for the process to end; mark "exit"
//   running                            assert the process is still running
//   kill                               terminate the process
//   never PROP... [from=MARK] [to=MARK]
//                                      assert no top-level window of the process
//                                      matching PROP was seen in the interval
//   elapsed MARK1 MARK2 MIN MAX        assert MIN <= t(MARK2) - t(MARK1) <= MAX (s)
//   screenshot NAME [timeout=S]        save the screen as PW_OUT\NN-NAME.xwd
//   reg KEY VALUE (is=DATA | dword=N | exists | missing | nokey)
//   file PATH (exists | missing | dir | empty | size=N | contains=T | lacks=T |
//              line=T | linestart=T | same=FILE | readonly | writable)... [within=S]
//   dump NAME                          print NAME and its controls
//   echo TEXT
//   settext NAME TEXT                  WM_SETTEXT to an edit, read back
//   listopen NAME (N | text=T) [by=dblclick|enter]
//                                      open a list entry as the user does
//   comboselect NAME (N | text=T)      pick a drop-down entry (CBN_SELCHANGE)
//   items NAME (count=N | has=T | lacks=T | at=N:T | selected=T)... [within=S]
//   key NAME VK                        post WM_KEYDOWN/WM_KEYUP
//   syschar NAME LETTER                post WM_SYSCHAR (Alt+LETTER)
//   flush EDIT [timeout=S]             wait until posted messages are handled
//   idle NAME [timeout=S]              wait until NAME's thread answers
//   find NAME PROP... [timeout=S]      a top-level window of any process
//   regset KEY VALUE (DATA | dword=N)  write a registry value
//   makefile PATH PIECE... [seed=N] [readonly]
//                                      write a file from pieces: file=F text=T
//                                      repeat=N:T random=N ({crlf} {nul} {xHH}...)
//   lock PATH / unlock PATH            hold a file open without sharing / let go
//   nofind PROP... [for=S]             no window of any process matches within S s
//   run EXE [ARG...] [code=N] [out=FILE] [lines=N] [timeout=S]
//                                      run a console program of the case folder to
//                                      its end; its stdout into FILE, N lines
//   delete PATH                        delete a file
//   link PATH TARGET [hard]            make PATH a symbolic link to TARGET (an empty
//                                      folder at PATH goes first), or a hard link
//   token [elevation=full|limited|default] [integrity=low|medium|high|system]
//                                      Pellwick's access token (after launch)
//   winver [NAME]                      the Windows version the prefix reports is
//                                      NAME (winecfg's: win98 winxp win7 win10...);
//                                      without NAME, or empty, print it
//   {case} and {env:NAME} in arguments: the case folder, an environment value
//   {today:PATTERN} in arguments: today's date (d dd M MM yy yyyy)
//
//   Properties (selectors for wait/child/never, assertions for check):
//   class=C caption=T text=T contains=T id=N visible hidden enabled disabled
//   topmost nottopmost centred covers client=WxH size=WxH width=N height=N
//   left=N top=N right=N bottom=N rightgap=N bottomgap=N
//   textof=FILE lacks=T length=N paragraphs=N,N.. position=N
//   front behind inked blank (read live: z-order, the screen image)
//   drawn=STYLE[/FACE/HEIGHT[/INK]] (read live: the weight and "&" of the
//   text as drawn on the screen image) maximized notmaximized
//   wait and never add "visible" unless "visible" or "hidden" is given.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "Script.h"
#include "Snapshots.h"

namespace pwdrive {

struct Runner {
    std::string caseDir, caseName, outDir, screenFile;
    std::map<std::string, HWND> names;
    std::map<std::string, double> marks;
    int shots = 0;
    std::string error;  // set by a failing step

    bool Fail(const std::string& why)
    {
        error = why;
        return false;
    }

    // Splits a step's args into options (known option keys) and properties.
    bool Split(const Step& st, size_t skip, const std::vector<std::string>& optionKeys,
               std::vector<Arg>& props, std::map<std::string, std::string>& opts)
    {
        for (size_t i = skip; i < st.args.size(); ++i) {
            const Arg& a = st.args[i];
            bool isOpt = false;
            for (const std::string& o : optionKeys)
                if (a.keyed && a.key == o) isOpt = true;
            if (isOpt) {
                opts[a.key] = a.value;
            } else if ((a.keyed && IsValueProp(a.key)) || (!a.keyed && IsFlagProp(a.text))) {
                props.push_back(a);
            } else {
                return Fail("unknown property or option: " + a.text);
            }
        }
        return true;
    }

    bool Seconds(std::map<std::string, std::string>& opts, const char* key, double def, double& v)
    {
        v = def;
        if (!opts.count(key)) return true;
        if (!ParseSeconds(opts[key], v)) return Fail(Format("bad %s=%s", key, opts[key].c_str()));
        return true;
    }

    bool Need(const Step& st, size_t n)
    {
        if (st.args.size() < n) return Fail(Format("%s needs %u argument(s)", st.command.c_str(), (unsigned)n));
        return true;
    }

    bool Window(const std::string& name, HWND& h)
    {
        auto it = names.find(name);
        if (it == names.end()) return Fail("no window named " + name);
        h = it->second;
        return true;
    }

    bool Mark(const std::string& name, double& t)
    {
        auto it = marks.find(name);
        if (it == marks.end()) return Fail("no mark named " + name);
        t = it->second;
        return true;
    }

    static void AddVisibleDefault(std::vector<Arg>& props)
    {
        for (const Arg& p : props)
            if (!p.keyed && (p.text == "visible" || p.text == "hidden")) return;
        Arg v;
        v.text = "visible";
        props.push_back(v);
    }

    bool ProcessGone(std::string& detail)
    {
        DWORD code = 0;
        if (Launched && ProcessExited(&code)) {
            detail = Format("the process has exited (code %lu)", code);
            return true;
        }
        return false;
    }

    // ---- commands; each returns false with `error` set, `note` gets details

    bool Launch(const Step& st, std::string& note)
    {
        // exe=NAME: a setup of the case folder that starts Pellwick.exe
        // itself; its child's windows are watched as its own.
        std::string name = "Pellwick.exe";
        for (const Arg& a : st.args)
            if (a.keyed && a.key == "exe") name = a.value;
        WatchChildren = name != "Pellwick.exe";
        std::string exe = caseDir + "\\" + name;
        if (GetFileAttributesA(exe.c_str()) == INVALID_FILE_ATTRIBUTES) return Fail("no " + exe);
        std::string cmd = "\"" + exe + "\"";
        // An argument with blanks is quoted, as a shell or a deployment tool
        // quotes it; one holding quotes of its own goes as written.
        for (const Arg& a : st.args) {
            if (a.keyed && a.key == "exe") continue;
            bool quote = a.text.find_first_of(" \t") != std::string::npos &&
                         a.text.find('"') == std::string::npos;
            cmd += quote ? " \"" + a.text + "\"" : " " + a.text;
        }
        return Start(exe.c_str(), cmd, note);
    }

    // Starts the uninstall entry's command line as the list of installed
    // programs does (CreateProcess without a program name), with switches
    // put in after the program: the process the later commands watch.
    bool Uninstall(const Step& st, std::string& note)
    {
        if (!Need(st, 1)) return false;
        // The uninstaller shows its boxes from the private copy it starts.
        WatchChildren = true;
        std::string sub = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + st.args[0].text;
        std::string value = "UninstallString";
        std::string switches;
        for (size_t i = 1; i < st.args.size(); ++i)
            if (st.args[i].keyed && st.args[i].key == "value") value = st.args[i].value;
            else switches += " " + st.args[i].text;
        char data[1024] = {};
        DWORD size = sizeof data - 1;
        HKEY k = nullptr;
        LONG rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, sub.c_str(), 0, KEY_READ, &k);
        if (rc == ERROR_SUCCESS)
            rc = RegQueryValueExA(k, value.c_str(), nullptr, nullptr, (BYTE*)data, &size);
        if (k) RegCloseKey(k);
        if (rc != ERROR_SUCCESS)
            return Fail(Format("no %s under HKLM\\%s, error %ld", value.c_str(), sub.c_str(), rc));
        std::string cmd = data;
        size_t blank = cmd.find(' ');
        if (blank != std::string::npos) cmd.insert(blank, switches);
        else cmd += switches;
        note = Quote(cmd) + ", ";
        return Start(nullptr, cmd, note);
    }

    bool Start(const char* exe, const std::string& cmd, std::string& note)
    {
        if (Launched && !ProcessExited()) return Fail("the process is already running");
        STARTUPINFOA si{};
        si.cb = sizeof si;
        std::vector<char> line(cmd.begin(), cmd.end());
        line.push_back(0);
        if (Launched) {
            CloseHandle(Proc.hProcess);
            CloseHandle(Proc.hThread);
        }
        if (!CreateProcessA(exe, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            caseDir.c_str(), &si, &Proc))
            return Fail(Format("CreateProcess failed, error %lu", GetLastError()));
        Launched = true;
        WatchPid = Proc.dwProcessId;
        marks["launch"] = Now();
        note += Format("pid %lu", Proc.dwProcessId);
        return true;
    }

    bool Wait(const Step& st, std::string& note)
    {
        if (!Need(st, 1)) return false;
        std::vector<Arg> props;
        double timeout;
        if (!PropsAndSeconds(st, 1, "timeout", 15, props, timeout)) return false;
        AddVisibleDefault(props);
        return WaitTop(st.args[0].text, props, timeout, note);
    }

    bool WaitTop(const std::string& name, const std::vector<Arg>& props, double timeout,
                 std::string& note)
    {
        if (!Launched) return Fail("nothing launched");
        double until = Now() + timeout;
        for (;;) {
            for (HWND h : ProcessTopWindows(Proc.dwProcessId)) {
                Snap s = TakeSnap(h, false);
                if (s.alive && MatchAll(s, props)) {
                    // Times come from the watcher's journal, so that marks and
                    // "never" intervals agree; let it catch up first.
                    double now = Now();
                    SyncJournal();
                    double t = RunStart(h, [&](const Snap& j) { return j.alive && MatchAll(j, props); }, now);
                    names[name] = h;
                    marks[name] = t;
                    note = Format("%p, seen at %.3f s", (void*)h, t - marks["launch"]);
                    return true;
                }
            }
            std::string gone;
            if (ProcessGone(gone)) return Fail("no such window; " + gone);
            if (Now() > until) return Fail(Format("no such window within %.1f s", timeout));
            PollPause();
        }
    }

    bool Gone(const Step& st, std::string& note)
    {
        if (!Need(st, 1)) return false;
        std::vector<Arg> props;
        std::map<std::string, std::string> opts;
        if (!Split(st, 1, {"timeout"}, props, opts)) return false;
        if (!props.empty()) return Fail("gone takes only timeout=");
        double timeout;
        if (!Seconds(opts, "timeout", 15, timeout)) return false;
        const std::string& name = st.args[0].text;
        HWND h;
        if (!Window(name, h)) return false;
        double until = Now() + timeout;
        while (IsWindow(h) && IsWindowVisible(h)) {
            if (Now() > until) return Fail(Format("%s still shown after %.1f s", name.c_str(), timeout));
            PollPause();
        }
        double now = Now();
        SyncJournal();
        double t = RunStart(h, [](const Snap& j) { return !j.alive || !j.visible; }, now);
        marks[name + ".gone"] = t;
        note = Format("%s at %.3f s", IsWindow(h) ? "hidden" : "destroyed", t - marks["launch"]);
        return true;
    }

    bool FindChild(HWND parent, const std::vector<Arg>& props, long index, HWND& found)
    {
        long seen = 0;
        for (HWND h : Descendants(parent)) {
            Snap s = TakeSnap(h, true);
            if (s.alive && MatchAll(s, props)) {
                if (seen == index) {
                    found = h;
                    return true;
                }
                ++seen;
            }
        }
        return false;
    }

    bool Child(const Step& st, std::string& note)
    {
        if (!Need(st, 2)) return false;
        std::vector<Arg> props;
        std::map<std::string, std::string> opts;
        if (!Split(st, 2, {"timeout", "index"}, props, opts)) return false;
        double timeout;
        if (!Seconds(opts, "timeout", 5, timeout)) return false;
        long index = 0;
        if (opts.count("index") && (!ParseInt(opts["index"], index) || index < 0))
            return Fail("bad index=" + opts["index"]);
        HWND parent;
        if (!Window(st.args[1].text, parent)) return false;
        double until = Now() + timeout;
        for (;;) {
            if (!IsWindow(parent)) return Fail(st.args[1].text + " no longer exists");
            HWND h = nullptr;
            if (FindChild(parent, props, index, h)) {
                names[st.args[0].text] = h;
                note = Describe(TakeSnap(h, true));
                return true;
            }
            if (Now() > until) return Fail(Format("no such control within %.1f s", timeout));
            PollPause();
        }
    }

    // The properties of a step from argument `first` on, and the one time
    // option it takes, in seconds (def when it is not given).
    bool PropsAndSeconds(const Step& st, std::size_t first, const char* option, double def,
                         std::vector<Arg>& props, double& seconds)
    {
        std::map<std::string, std::string> opts;
        return Split(st, first, {option}, props, opts) && Seconds(opts, option, def, seconds);
    }

    bool Check(const Step& st, std::string& note)
    {
        if (!Need(st, 2)) return false;
        std::vector<Arg> props;
        double within;
        if (!PropsAndSeconds(st, 1, "within", 0, props, within)) return false;
        HWND h;
        if (!Window(st.args[0].text, h)) return false;
        double until = Now() + within;
        for (;;) {
            if (!IsWindow(h)) return Fail(st.args[0].text + " does not exist");
            bool child = (GetWindowLongA(h, GWL_STYLE) & WS_CHILD) != 0;
            // An edit's text takes a message, which waits while Pellwick's
            // thread is busy: ask only when a text is to be checked.
            bool text = false;
            for (const Arg& p : props)
                if (p.keyed && (p.key == "text" || p.key == "caption" || p.key == "contains" || p.key == "lacks" ||
                                p.key == "textof" || p.key == "length" || p.key == "paragraphs"))
                    text = true;
            Snap s = TakeSnap(h, child && text);
            std::string why;
            if (MatchAll(s, props, &why)) {
                std::string have;
                for (const Arg& p : props) {
                    std::string actual;
                    MatchProp(s, p, actual);
                    if (!have.empty()) have += ", ";
                    have += actual;
                }
                note = have;
                return true;
            }
            if (Now() >= until) return Fail(why);
            PollPause();
        }
    }

    bool Clickable(const std::string& name, HWND& h)
    {
        if (!Window(name, h)) return false;
        if (!IsWindow(h)) return Fail(name + " does not exist");
        if (!IsWindowVisible(h)) return Fail(name + " is not visible");
        if (!IsWindowEnabled(h)) return Fail(name + " is disabled");
        HWND root = GetAncestor(h, GA_ROOT);
        if (root && !IsWindowEnabled(root)) return Fail(name + "'s window is disabled");
        return true;
    }

    bool Click(const Step& st, std::string& note, bool post)
    {
        if (!Need(st, 1)) return false;
        std::vector<Arg> props;
        std::map<std::string, std::string> opts;
        if (!Split(st, 1, post ? std::vector<std::string>{} : std::vector<std::string>{"timeout"},
                   props, opts))
            return false;
        if (!props.empty()) return Fail("unexpected arguments");
        HWND h;
        if (!Clickable(st.args[0].text, h)) return false;
        if (post) {
            if (!PostMessageA(h, BM_CLICK, 0, 0)) return Fail(Format("PostMessage failed, error %lu", GetLastError()));
            note = "posted";
            return true;
        }
        double timeout;
        if (!Seconds(opts, "timeout", 15, timeout)) return false;
        DWORD_PTR r = 0;
        if (!SendMessageTimeoutA(h, BM_CLICK, 0, 0, SMTO_NORMAL, (UINT)(timeout * 1000), &r))
            return Fail(Format("BM_CLICK not handled within %.1f s (a modal box? use postclick)", timeout));
        note = "sent";
        return true;
    }

    bool Close(const Step& st, std::string& note)
    {
        if (!Need(st, 1)) return false;
        HWND h;
        if (!Window(st.args[0].text, h)) return false;
        if (!PostMessageA(h, WM_CLOSE, 0, 0)) return Fail(Format("PostMessage failed, error %lu", GetLastError()));
        note = "posted WM_CLOSE";
        return true;
    }

    bool MsgBox(const Step& st, std::string& note)
    {
        if (!Need(st, 1)) return false;
        std::vector<Arg> props;
        double timeout;
        if (!PropsAndSeconds(st, 1, "timeout", 15, props, timeout)) return false;
        std::vector<Arg> top, textProps;
        Arg cls;
        cls.keyed = true;
        cls.key = "class";
        cls.value = "#32770";
        cls.text = "class=#32770";
        top.push_back(cls);
        for (const Arg& p : props) {
            if (p.keyed && (p.key == "text" || p.key == "contains")) textProps.push_back(p);
            else top.push_back(p);
        }
        AddVisibleDefault(top);
        const std::string name = st.args[0].text;
        std::string waitNote;
        if (!WaitTop(name, top, timeout, waitNote)) return false;
        HWND box = names[name];
        Arg id;
        id.keyed = true;
        id.key = "id";
        id.value = "0xFFFF";
        id.text = "id=0xFFFF";
        HWND text = nullptr;
        double until = Now() + 5;
        while (!FindChild(box, {id}, 0, text)) {
            if (Now() > until) return Fail("the box has no text control (id 0xFFFF)");
            PollPause();
        }
        names[name + ".text"] = text;
        id.value = "1";
        id.text = "id=1";
        HWND ok = nullptr;
        if (FindChild(box, {id}, 0, ok)) names[name + ".ok"] = ok;
        Snap s = TakeSnap(text, true);
        std::string why;
        if (!MatchAll(s, textProps, &why)) return Fail(why);
        note = waitNote + ", text " + Quote(s.text);
        return true;
    }

    bool Exit(const Step& st, std::string& note)
    {
        std::vector<Arg> props;
        std::map<std::string, std::string> opts;
        if (!Split(st, 0, {"timeout", "code"}, props, opts)) return false;
        if (!props.empty()) return Fail("unexpected arguments");
        double timeout;
        if (!Seconds(opts, "timeout", 15, timeout)) return false;
        if (!Launched) return Fail("nothing launched");
        double until = Now() + timeout;
        DWORD code = 0;
        while (!ProcessExited(&code)) {
            if (Now() > until) return Fail(Format("still running after %.1f s", timeout));
            PollPause();
        }
        marks["exit"] = Now();
        note = Format("exit code %lu", code);
        if (opts.count("code")) {
            long want;
            if (!ParseInt(opts["code"], want)) return Fail("bad code=" + opts["code"]);
            if ((DWORD)want != code) return Fail(Format("exit code %lu, want %ld", code, want));
        }
        return true;
    }

    bool Never(const Step& st, std::string& note)
    {
        std::vector<Arg> props;
        std::map<std::string, std::string> opts;
        if (!Split(st, 0, {"from", "to"}, props, opts)) return false;
        if (props.empty()) return Fail("never needs properties");
        AddVisibleDefault(props);
        double from = 0, to = 1e30;
        if (opts.count("from") && !Mark(opts["from"], from)) return false;
        if (opts.count("to") && !Mark(opts["to"], to)) return false;
        if (!opts.count("to")) SyncJournal();
        double now = Now();
        std::string hit;
        int windows = 0;
        EnterCriticalSection(&JournalLock);
        for (const JWin& j : Journal) {
            ++windows;
            for (size_t i = 0; i < j.states.size() && hit.empty(); ++i) {
                double start = j.states[i].t;
                double end = i + 1 < j.states.size() ? j.states[i + 1].t : now;
                if (start < to && end > from && j.states[i].s.alive && MatchAll(j.states[i].s, props))
                    hit = Format("seen at %.3f s: %s", start - marks["launch"], Describe(j.states[i].s).c_str());
            }
        }
        LeaveCriticalSection(&JournalLock);
        if (!hit.empty()) return Fail(hit);
        note = Format("none among %d window(s) seen", windows);
        return true;
    }

    bool Elapsed(const Step& st, std::string& note)
    {
        if (!Need(st, 4)) return false;
        double a, b, lo, hi;
        if (!Mark(st.args[0].text, a) || !Mark(st.args[1].text, b)) return false;
        char* e1 = nullptr;
        char* e2 = nullptr;
        lo = strtod(st.args[2].text.c_str(), &e1);
        hi = strtod(st.args[3].text.c_str(), &e2);
        if (*e1 || *e2) return Fail("bad bounds");
        double d = b - a;
        note = Format("%.3f s", d);
        if (d < lo || d > hi) return Fail(Format("%s -> %s took %.3f s, want %g..%g s", st.args[0].text.c_str(),
                                                 st.args[1].text.c_str(), d, lo, hi));
        return true;
    }

    bool Screenshot(const Step& st, std::string& note)
    {
        if (!Need(st, 1)) return false;
        std::vector<Arg> props;
        double timeout;
        if (!PropsAndSeconds(st, 1, "timeout", 5, props, timeout)) return false;
        if (screenFile.empty() || outDir.empty()) {
            note = "skipped (PW_SCREEN or PW_OUT not set)";
            return true;
        }
        // The screen image is live; wait until two reads 100 ms apart agree so
        // that the windows have finished painting.
        std::string prev, cur;
        if (!ReadFileBytes(screenFile, prev)) return Fail("cannot read " + screenFile);
        double until = Now() + timeout;
        bool stable = false;
        for (;;) {
            double next = Now() + 0.1;
            while (Now() < next) PollPause();
            if (!ReadFileBytes(screenFile, cur)) return Fail("cannot read " + screenFile);
            if (cur == prev) {
                stable = true;
                break;
            }
            prev.swap(cur);
            if (Now() > until) break;
        }
        std::string path = Format("%s\\%02d-%s.xwd", outDir.c_str(), ++shots, st.args[0].text.c_str());
        HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (f == INVALID_HANDLE_VALUE) return Fail(Format("cannot write %s, error %lu", path.c_str(), GetLastError()));
        DWORD put = 0;
        BOOL ok = WriteFile(f, cur.data(), (DWORD)cur.size(), &put, nullptr);
        CloseHandle(f);
        if (!ok || put != cur.size()) return Fail("short write to " + path);
        note = path + (stable ? "" : " (screen still changing)");
        return true;
    }

    // The access token the system gave Pellwick: whether it is an
    // administrator's full token, and its integrity level, which decides
    // whose window messages it receives.
    bool Token(const Step& st, std::string& note)
    {
        if (!Launched) return Fail("nothing launched");
        HANDLE token = nullptr;
        if (!OpenProcessToken(Proc.hProcess, TOKEN_QUERY, &token))
            return Fail(Format("cannot open the token, error %lu", GetLastError()));
        TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
        DWORD size = 0, rid = 0;
        BOOL typed = GetTokenInformation(token, TokenElevationType, &type, sizeof type, &size);
        std::vector<BYTE> label(256);
        BOOL labelled = GetTokenInformation(token, TokenIntegrityLevel, label.data(), (DWORD)label.size(), &size);
        CloseHandle(token);
        if (!typed || !labelled) return Fail("the token tells neither elevation nor integrity");
        PSID sid = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(label.data())->Label.Sid;
        rid = *GetSidSubAuthority(sid, *GetSidSubAuthorityCount(sid) - 1);
        std::string elevation = type == TokenElevationTypeFull      ? "full"
                                : type == TokenElevationTypeLimited ? "limited"
                                                                    : "default";
        std::string integrity = rid >= SECURITY_MANDATORY_SYSTEM_RID   ? "system"
                                : rid >= SECURITY_MANDATORY_HIGH_RID   ? "high"
                                : rid >= SECURITY_MANDATORY_MEDIUM_RID ? "medium"
                                                                       : "low";
        note = Format("elevation %s, integrity %s (0x%lx)", elevation.c_str(), integrity.c_str(), rid);
        for (const Arg& a : st.args) {
            if (a.key == "elevation" && a.value != elevation) return Fail("elevation " + elevation + ", want " + a.value);
            if (a.key == "integrity" && a.value != integrity) return Fail("integrity " + integrity + ", want " + a.value);
            if (a.key != "elevation" && a.key != "integrity") return Fail("unknown property " + a.text);
        }
        return true;
    }

    // The version the system reports to every program. RtlGetVersion, since
    // GetVersionEx tells a program without a manifest for Windows 8.1 or
    // later that it runs on 8.
    bool WinVer(const Step& st, std::string& note)
    {
        // Windows 11 is 10.0 from build 22000 on: the first entry that
        // matches, with the build at least firstBuild, names the version.
        struct Version {
            const char* name;
            DWORD platform, major, minor, firstBuild;
        } versions[] = {{"win95", VER_PLATFORM_WIN32_WINDOWS, 4, 0, 0}, {"win98", VER_PLATFORM_WIN32_WINDOWS, 4, 10, 0},
                        {"winme", VER_PLATFORM_WIN32_WINDOWS, 4, 90, 0}, {"nt40", VER_PLATFORM_WIN32_NT, 4, 0, 0},
                        {"win2k", VER_PLATFORM_WIN32_NT, 5, 0, 0},       {"winxp", VER_PLATFORM_WIN32_NT, 5, 1, 0},
                        {"vista", VER_PLATFORM_WIN32_NT, 6, 0, 0},       {"win7", VER_PLATFORM_WIN32_NT, 6, 1, 0},
                        {"win8", VER_PLATFORM_WIN32_NT, 6, 2, 0},        {"win81", VER_PLATFORM_WIN32_NT, 6, 3, 0},
                        {"win11", VER_PLATFORM_WIN32_NT, 10, 0, 22000},  {"win10", VER_PLATFORM_WIN32_NT, 10, 0, 0}};
        using TRtlGetVersion = LONG(WINAPI*)(OSVERSIONINFOW*);
        auto rtlGetVersion = reinterpret_cast<TRtlGetVersion>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "RtlGetVersion")));
        if (!rtlGetVersion) return Fail("no RtlGetVersion in ntdll");
        OSVERSIONINFOW v = {};
        v.dwOSVersionInfoSize = sizeof v;
        if (rtlGetVersion(&v) != 0) return Fail("RtlGetVersion failed");
        // GetVersion's top bit is what old programs test to tell 9x from NT.
        bool nine = (GetVersion() & 0x80000000u) != 0;
        const char* have = "unknown";
        for (const Version& k : versions)
            if (k.platform == v.dwPlatformId && k.major == v.dwMajorVersion && k.minor == v.dwMinorVersion &&
                (v.dwBuildNumber & 0xFFFF) >= k.firstBuild) {
                have = k.name;
                break;
            }
        note = Format("%s: %lu.%lu build %lu, platform %lu (%s)", have, v.dwMajorVersion, v.dwMinorVersion,
                      v.dwBuildNumber & 0xFFFF, v.dwPlatformId, nine ? "Windows 9x" : "Windows NT");
        if (st.args.empty() || st.args[0].text.empty()) return true;
        const std::string& want = st.args[0].text;
        bool known = false;
        for (const Version& k : versions) known = known || want == k.name;
        if (!known) return Fail("unknown version name " + want);
        if (want != have) return Fail("the system reports " + std::string(have) + ", want " + want);
        if (nine != (v.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS))
            return Fail("GetVersion and RtlGetVersion disagree on the platform");
        return true;
    }

    bool Reg(const Step& st, std::string& note)
    {
        if (!Need(st, 3)) return false;
        std::string key = st.args[0].text, value = st.args[1].text;
        if (value == "@") value.clear();
        struct Root {
            const char* name;
            HKEY key;
        } roots[] = {{"HKCU", HKEY_CURRENT_USER},         {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
                     {"HKLM", HKEY_LOCAL_MACHINE},        {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
                     {"HKCR", HKEY_CLASSES_ROOT},         {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
                     {"HKU", HKEY_USERS},                 {"HKEY_USERS", HKEY_USERS}};
        size_t bs = key.find('\\');
        std::string rootName = key.substr(0, bs);
        std::string sub = bs == std::string::npos ? "" : key.substr(bs + 1);
        HKEY root = nullptr;
        for (const Root& r : roots)
            if (_stricmp(r.name, rootName.c_str()) == 0) root = r.key;
        if (!root) return Fail("unknown registry root " + rootName);
        const Arg& want = st.args[2];
        HKEY k = nullptr;
        LONG rc = RegOpenKeyExA(root, sub.c_str(), 0, KEY_READ, &k);
        if (!want.keyed && want.text == "nokey") {
            if (k) RegCloseKey(k);
            if (rc == ERROR_SUCCESS) return Fail("the key exists");
            note = Format("no key (error %ld)", rc);
            return true;
        }
        DWORD type = 0, size = 0;
        if (rc == ERROR_SUCCESS) rc = RegQueryValueExA(k, value.c_str(), nullptr, &type, nullptr, &size);
        std::vector<BYTE> data(size + 2, 0);
        if (rc == ERROR_SUCCESS) rc = RegQueryValueExA(k, value.c_str(), nullptr, &type, data.data(), &size);
        if (k) RegCloseKey(k);
        if (!want.keyed && want.text == "missing") {
            if (rc == ERROR_SUCCESS) return Fail("the value exists");
            note = Format("missing (error %ld)", rc);
            return true;
        }
        if (rc != ERROR_SUCCESS) return Fail(Format("cannot read the value, error %ld", rc));
        if (!want.keyed && want.text == "exists") {
            if (type != REG_SZ && type != REG_EXPAND_SZ) return Fail(Format("type %lu is not a string", type));
            note = Quote((const char*)data.data());
            return true;
        }
        if (want.keyed && want.key == "is") {
            if (type != REG_SZ && type != REG_EXPAND_SZ) return Fail(Format("type %lu is not a string", type));
            std::string have((const char*)data.data());
            note = Quote(have);
            if (have != want.value) return Fail("value " + Quote(have) + ", want " + Quote(want.value));
            return true;
        }
        if (want.keyed && want.key == "dword") {
            long w;
            if (!ParseInt(want.value, w)) return Fail("bad dword=" + want.value);
            if (type != REG_DWORD) return Fail(Format("type %lu is not a DWORD", type));
            DWORD have = *(DWORD*)data.data();
            note = Format("%lu", have);
            if (have != (DWORD)w) return Fail(Format("value %lu, want %ld", have, w));
            return true;
        }
        return Fail("reg wants is=DATA, dword=N, exists or missing");
    }

    // file PATH CHECK... [within=S]: the checks hold now, or at some point
    // within S seconds.
    bool File(const Step& in, std::string& note)
    {
        if (!Need(in, 2)) return false;
        Step st = in;
        double within = 0;
        for (size_t i = 1; i < st.args.size(); ++i)
            if (st.args[i].keyed && st.args[i].key == "within") {
                if (!ParseSeconds(st.args[i].value, within)) return Fail("bad within=" + st.args[i].value);
                st.args.erase(st.args.begin() + (long)i);
                break;
            }
        if (!Need(st, 2)) return false;
        double until = Now() + within;
        for (;;) {
            if (FileOnce(st, note)) return true;
            if (Now() >= until) return false;
            PollPause();
        }
    }

    bool FileOnce(const Step& st, std::string& note)
    {
        std::string path = st.args[0].text;
        bool absolute = (path.size() > 1 && path[1] == ':') || (!path.empty() && path[0] == '\\');
        if (!absolute) path = caseDir + "\\" + path;
        std::string data;
        DWORD attributes = GetFileAttributesA(path.c_str());
        bool present = attributes != INVALID_FILE_ATTRIBUTES;
        bool isDir = present && (attributes & FILE_ATTRIBUTE_DIRECTORY);
        bool exists = !isDir && ReadFileBytes(path, data);
        std::string text;  // line ends made LF
        for (size_t i = 0; i < data.size(); ++i)
            if (!(data[i] == '\r' && i + 1 < data.size() && data[i + 1] == '\n')) text += data[i];
        for (size_t i = 1; i < st.args.size(); ++i) {
            const Arg& a = st.args[i];
            if (!a.keyed && a.text == "missing") {
                if (present) return Fail(path + (isDir ? " exists (a folder)" : " exists"));
                continue;
            }
            if (!a.keyed && a.text == "dir") {
                if (!isDir) return Fail(path + (present ? " is not a folder" : " does not exist"));
                continue;
            }
            if (a.keyed && a.key == "entries") {
                long w;
                if (!ParseInt(a.value, w)) return Fail("bad entries=" + a.value);
                if (!isDir) return Fail(path + (present ? " is not a folder" : " does not exist"));
                std::string names;
                long n = 0;
                WIN32_FIND_DATAA found;
                HANDLE h = FindFirstFileA((path + "\\*").c_str(), &found);
                for (BOOL more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileA(h, &found)) {
                    std::string name = found.cFileName;
                    if (name == "." || name == "..") continue;
                    names += (n++ ? ", " : "") + Quote(name);
                }
                if (h != INVALID_HANDLE_VALUE) FindClose(h);
                if (n != w) return Fail(Format("%s holds %ld entries, want %ld: ", path.c_str(), n, w) + names);
                continue;
            }
            if (!a.keyed && (a.text == "readonly" || a.text == "writable")) {
                if (!present) return Fail(path + " does not exist");
                bool ro = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
                if (ro != (a.text == "readonly")) return Fail(path + (ro ? " is read-only" : " is not read-only"));
                continue;
            }
            if (isDir) return Fail(path + " is a folder");
            if (!exists) return Fail(path + " cannot be read");
            if (!a.keyed && a.text == "exists") continue;
            if (!a.keyed && a.text == "empty") {
                if (!data.empty()) return Fail(Format("%s has %u bytes", path.c_str(), (unsigned)data.size()));
                continue;
            }
            if (a.keyed && a.key == "size") {
                long w;
                if (!ParseInt(a.value, w)) return Fail("bad size=" + a.value);
                if ((long)data.size() != w) return Fail(Format("%s has %u bytes, want %ld", path.c_str(), (unsigned)data.size(), w));
                continue;
            }
            if (a.keyed && a.key == "contains") {
                if (text.find(a.value) == std::string::npos) return Fail(path + " does not contain " + Quote(a.value));
                continue;
            }
            if (a.keyed && a.key == "lacks") {
                if (text.find(a.value) != std::string::npos) return Fail(path + " contains " + Quote(a.value));
                continue;
            }
            if (a.keyed && a.key == "same") {
                std::string want;
                if (!ReadFileBytes(InCaseFolder(a.value), want)) return Fail("cannot read " + a.value);
                if (data != want)
                    return Fail(Format("%s (%u bytes) differs from %s (%u bytes)", path.c_str(), (unsigned)data.size(),
                                       a.value.c_str(), (unsigned)want.size()));
                continue;
            }
            if (a.keyed && a.key == "linestart") {
                bool found = false;
                size_t p = 0;
                while (p <= text.size() && !found) {
                    size_t nl = text.find('\n', p);
                    std::string line = text.substr(p, nl == std::string::npos ? std::string::npos : nl - p);
                    found = line.compare(0, a.value.size(), a.value) == 0;
                    p = nl == std::string::npos ? text.size() + 1 : nl + 1;
                }
                if (!found) return Fail(path + " has no line starting " + Quote(a.value));
                continue;
            }
            if (a.keyed && a.key == "line") {
                bool found = false;
                size_t p = 0;
                while (p <= text.size() && !found) {
                    size_t nl = text.find('\n', p);
                    std::string line = text.substr(p, nl == std::string::npos ? std::string::npos : nl - p);
                    found = line == a.value;
                    p = nl == std::string::npos ? text.size() + 1 : nl + 1;
                }
                if (!found) return Fail(path + " has no line " + Quote(a.value));
                continue;
            }
            return Fail("unknown file check " + a.text);
        }
        note = isDir ? "a folder" : exists ? Format("%u bytes", (unsigned)data.size()) : present ? "unreadable" : "missing";
        return true;
    }

    // ---- input as the user would give it, and more checks

    // The window's text, through the edit's own message: Pellwick's edits
    // report it from EN_CHANGE, which WM_SETTEXT sends for single-line edits.
    bool SetText(const Step& st, std::string& note)
    {
        if (!Need(st, 2)) return false;
        if (st.args.size() > 2) return Fail("settext takes NAME and one TEXT (quote blanks)");
        HWND h;
        if (!Window(st.args[0].text, h)) return false;
        if (!IsWindow(h)) return Fail(st.args[0].text + " does not exist");
        const std::string& text = st.args[1].text;
        DWORD_PTR r = 0;
        if (!SendMessageTimeoutA(h, WM_SETTEXT, 0, (LPARAM)text.c_str(), SMTO_NORMAL, 15000, &r))
            return Fail("WM_SETTEXT not handled within 15 s");
        if (!r) return Fail("WM_SETTEXT refused");
        std::string have = ReadText(h, true);
        if (have != text) return Fail("the text reads back as " + Quote(Visible(have)));
        note = "set " + Quote(text);
        return true;
    }

    static std::string ClassOf(HWND h)
    {
        char cls[64] = {0};
        GetClassNameA(h, cls, sizeof cls);
        return cls;
    }

    // Texts of the entries of a ListBox or ComboBox (LB_GETTEXT / CB_GETLBTEXT).
    bool ListEntries(HWND h, std::vector<std::string>& items, int& selected)
    {
        bool combo = _stricmp(ClassOf(h).c_str(), "ComboBox") == 0;
        if (!combo && _stricmp(ClassOf(h).c_str(), "ListBox") != 0)
            return Fail("not a ListBox or ComboBox but " + ClassOf(h));
        UINT count = combo ? CB_GETCOUNT : LB_GETCOUNT, len = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN,
             get = combo ? CB_GETLBTEXT : LB_GETTEXT, cur = combo ? CB_GETCURSEL : LB_GETCURSEL;
        DWORD_PTR n = 0, sel = 0;
        if (!SendMessageTimeoutA(h, count, 0, 0, SMTO_NORMAL, 5000, &n)) return Fail("no answer to GETCOUNT");
        if (!SendMessageTimeoutA(h, cur, 0, 0, SMTO_NORMAL, 5000, &sel)) return Fail("no answer to GETCURSEL");
        selected = (int)(LRESULT)sel;
        items.clear();
        for (int i = 0; i < (int)(LRESULT)n; ++i) {
            DWORD_PTR l = 0;
            if (!SendMessageTimeoutW(h, len, i, 0, SMTO_NORMAL, 5000, &l) || (LRESULT)l < 0)
                return Fail(Format("cannot read the length of entry %d", i));
            // Across processes Wine hands the ANSI forms of these back in
            // UTF-16; the wide forms are the reliable ones.
            std::vector<wchar_t> buf((size_t)l * 2 + 16, 0);
            DWORD_PTR got = 0;
            if (!SendMessageTimeoutW(h, get, i, (LPARAM)buf.data(), SMTO_NORMAL, 5000, &got) || (LRESULT)got < 0)
                return Fail(Format("cannot read entry %d", i));
            char text[1024] = {0};
            WideCharToMultiByte(CP_ACP, 0, buf.data(), -1, text, sizeof text - 1, nullptr, nullptr);
            items.push_back(text);
        }
        return true;
    }

    static std::string Listing(const std::vector<std::string>& items, int selected)
    {
        std::string s;
        for (size_t i = 0; i < items.size(); ++i)
            s += Format("%s%s%s", i ? ", " : "", (int)i == selected ? "*" : "", Quote(items[i]).c_str());
        return "[" + s + "]";
    }

    // The index of an entry given as N or text=T.
    bool EntryIndex(HWND h, const Arg& which, int& index, std::string& listing)
    {
        std::vector<std::string> items;
        int sel = -1;
        if (!ListEntries(h, items, sel)) return false;
        listing = Listing(items, sel);
        if (which.keyed && which.key == "text") {
            for (size_t i = 0; i < items.size(); ++i)
                if (items[i] == which.value) {
                    index = (int)i;
                    return true;
                }
            return Fail("no entry " + Quote(which.value) + " in " + listing);
        }
        long n;
        if (which.keyed || !ParseInt(which.text, n)) return Fail("want an index or text=T, not " + which.text);
        if (n < 0 || n >= (long)items.size()) return Fail(Format("no entry %ld in ", n) + listing);
        index = (int)n;
        return true;
    }

    bool UsableControl(const std::string& name, HWND& h)
    {
        if (!Window(name, h)) return false;
        if (!IsWindow(h)) return Fail(name + " does not exist");
        if (!IsWindowVisible(h)) return Fail(name + " is not visible");
        if (!IsWindowEnabled(h)) return Fail(name + " is disabled");
        return true;
    }

    // listopen NAME (N | text=T) [by=dblclick|enter]: selects the entry and
    // opens it as the user does, by a double-click on it or by Enter.
    bool ListOpen(const Step& st, std::string& note)
    {
        if (!Need(st, 2)) return false;
        std::string by = "dblclick";
        for (size_t i = 2; i < st.args.size(); ++i) {
            if (st.args[i].keyed && st.args[i].key == "by") by = st.args[i].value;
            else return Fail("unexpected argument " + st.args[i].text);
        }
        if (by != "dblclick" && by != "enter") return Fail("by= wants dblclick or enter");
        HWND h;
        if (!UsableControl(st.args[0].text, h)) return false;
        if (_stricmp(ClassOf(h).c_str(), "ListBox") != 0) return Fail("not a ListBox");
        int index = 0;
        std::string listing;
        if (!EntryIndex(h, st.args[1], index, listing)) return false;
        DWORD_PTR r = 0;
        if (!SendMessageTimeoutA(h, LB_SETCURSEL, index, 0, SMTO_NORMAL, 5000, &r) || (LRESULT)r == LB_ERR)
            return Fail(Format("LB_SETCURSEL %d failed", index));
        if (by == "enter") {
            UINT scan = MapVirtualKeyA(VK_RETURN, 0);
            PostMessageA(h, WM_KEYDOWN, VK_RETURN, 1 | (scan << 16));
            PostMessageA(h, WM_KEYUP, VK_RETURN, 1 | (scan << 16) | (3u << 30));
        } else {
            RECT item{};
            if (!SendMessageTimeoutA(h, LB_GETITEMRECT, index, (LPARAM)&item, SMTO_NORMAL, 5000, &r) ||
                (LRESULT)r == LB_ERR)
                return Fail(Format("LB_GETITEMRECT %d failed", index));
            RECT client;
            GetClientRect(h, &client);
            POINT at = {(item.left + item.right) / 2, (item.top + item.bottom) / 2};
            if (!PtInRect(&client, at))
                return Fail(Format("entry %d lies outside the list (at %ld,%ld)", index, at.x, at.y));
            PostMessageA(h, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(at.x, at.y));
            PostMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        }
        note = Format("entry %d of %s, by %s", index, listing.c_str(), by.c_str());
        return true;
    }

    // comboselect NAME (N | text=T): picks an entry of a drop-down list and
    // tells its parent, as the box does when the user picks one.
    bool ComboSelect(const Step& st, std::string& note)
    {
        if (!Need(st, 2)) return false;
        if (st.args.size() > 2) return Fail("unexpected arguments");
        HWND h;
        if (!UsableControl(st.args[0].text, h)) return false;
        if (_stricmp(ClassOf(h).c_str(), "ComboBox") != 0) return Fail("not a ComboBox");
        int index = 0;
        std::string listing;
        if (!EntryIndex(h, st.args[1], index, listing)) return false;
        DWORD_PTR r = 0;
        if (!SendMessageTimeoutA(h, CB_SETCURSEL, index, 0, SMTO_NORMAL, 5000, &r) || (LRESULT)r == CB_ERR)
            return Fail(Format("CB_SETCURSEL %d failed", index));
        PostMessageA(GetParent(h), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), CBN_SELCHANGE), (LPARAM)h);
        note = Format("entry %d of %s", index, listing.c_str());
        return true;
    }

    // items NAME CHECK...: the entries of a ListBox or ComboBox.
    bool Items(const Step& st, std::string& note)
    {
        if (!Need(st, 2)) return false;
        std::map<std::string, std::string> opts;
        std::vector<Arg> checks;
        for (size_t i = 1; i < st.args.size(); ++i) {
            const Arg& a = st.args[i];
            if (a.keyed && a.key == "within") opts["within"] = a.value;
            else if (a.keyed && (a.key == "count" || a.key == "has" || a.key == "lacks" || a.key == "at" ||
                                 a.key == "selected"))
                checks.push_back(a);
            else return Fail("unknown items check " + a.text);
        }
        double within;
        if (!Seconds(opts, "within", 0, within)) return false;
        HWND h;
        if (!Window(st.args[0].text, h)) return false;
        double until = Now() + within;
        for (;;) {
            if (!IsWindow(h)) return Fail(st.args[0].text + " does not exist");
            std::vector<std::string> items;
            int sel = -1;
            if (!ListEntries(h, items, sel)) return false;
            std::string listing = Listing(items, sel), why;
            auto has = [&](const std::string& t) {
                for (const std::string& it : items)
                    if (it == t) return true;
                return false;
            };
            for (const Arg& a : checks) {
                bool ok = true;
                if (a.key == "count") {
                    long n;
                    if (!ParseInt(a.value, n)) return Fail("bad count=" + a.value);
                    ok = (long)items.size() == n;
                } else if (a.key == "has") {
                    ok = has(a.value);
                } else if (a.key == "lacks") {
                    ok = !has(a.value);
                } else if (a.key == "selected") {
                    ok = sel >= 0 && sel < (int)items.size() && items[sel] == a.value;
                } else {  // at=N:T
                    size_t colon = a.value.find(':');
                    long n;
                    if (colon == std::string::npos || !ParseInt(a.value.substr(0, colon), n))
                        return Fail("at= wants N:TEXT");
                    ok = n >= 0 && n < (long)items.size() && items[n] == a.value.substr(colon + 1);
                }
                if (!ok) why += (why.empty() ? "want " : "; want ") + a.text;
            }
            if (why.empty()) {
                note = listing;
                return true;
            }
            if (Now() >= until) return Fail(why + ", have " + listing);
            PollPause();
        }
    }

    static bool VirtualKey(const std::string& name, UINT& vk)
    {
        struct Named {
            const char* name;
            UINT vk;
        } keys[] = {{"RETURN", VK_RETURN}, {"ENTER", VK_RETURN}, {"ESCAPE", VK_ESCAPE}, {"TAB", VK_TAB},
                    {"SPACE", VK_SPACE},   {"UP", VK_UP},        {"DOWN", VK_DOWN},     {"LEFT", VK_LEFT},
                    {"RIGHT", VK_RIGHT},   {"HOME", VK_HOME},    {"END", VK_END},       {"BACK", VK_BACK}};
        for (const Named& k : keys)
            if (_stricmp(k.name, name.c_str()) == 0) {
                vk = k.vk;
                return true;
            }
        long n;
        if (ParseInt(name, n) && n > 0 && n < 256) {
            vk = (UINT)n;
            return true;
        }
        return false;
    }

    // key NAME VK: a key press (WM_KEYDOWN, WM_KEYUP) posted to NAME.
    bool Key(const Step& st, std::string& note)
    {
        if (!Need(st, 2)) return false;
        HWND h;
        if (!Window(st.args[0].text, h)) return false;
        if (!IsWindow(h)) return Fail(st.args[0].text + " does not exist");
        UINT vk;
        if (!VirtualKey(st.args[1].text, vk)) return Fail("unknown key " + st.args[1].text);
        UINT scan = MapVirtualKeyA(vk, 0);
        PostMessageA(h, WM_KEYDOWN, vk, 1 | (scan << 16));
        PostMessageA(h, WM_KEYUP, vk, 1 | (scan << 16) | (3u << 30));
        note = Format("posted key 0x%02X", vk);
        return true;
    }

    // syschar NAME LETTER: Alt+LETTER as the window's thread receives it.
    bool SysChar(const Step& st, std::string& note)
    {
        if (!Need(st, 2)) return false;
        if (st.args[1].text.size() != 1) return Fail("syschar wants one letter");
        HWND h;
        if (!Window(st.args[0].text, h)) return false;
        if (!IsWindow(h)) return Fail(st.args[0].text + " does not exist");
        unsigned char c = (unsigned char)st.args[1].text[0];
        UINT scan = MapVirtualKeyA(VkKeyScanA((char)c) & 0xFF, 0);
        if (!PostMessageA(h, WM_SYSCHAR, c, 1 | (scan << 16) | (1u << 29)))
            return Fail(Format("PostMessage failed, error %lu", GetLastError()));
        note = Format("posted Alt+%c", c);
        return true;
    }

    struct RootName {
        const char* name;
        HKEY key;
    };

    bool SplitKey(const std::string& key, HKEY& root, std::string& sub)
    {
        static const RootName roots[] = {
            {"HKCU", HKEY_CURRENT_USER},  {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
            {"HKLM", HKEY_LOCAL_MACHINE}, {"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
            {"HKCR", HKEY_CLASSES_ROOT},  {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
            {"HKU", HKEY_USERS},          {"HKEY_USERS", HKEY_USERS}};
        size_t bs = key.find('\\');
        std::string rootName = key.substr(0, bs);
        sub = bs == std::string::npos ? "" : key.substr(bs + 1);
        root = nullptr;
        for (const RootName& r : roots)
            if (_stricmp(r.name, rootName.c_str()) == 0) root = r.key;
        if (!root) return Fail("unknown registry root " + rootName);
        return true;
    }

    // regset KEY VALUE DATA | dword=N: writes a value, creating the key.
    bool RegSet(const Step& st, std::string& note)
    {
        if (!Need(st, 3)) return false;
        HKEY root;
        std::string sub, value = st.args[1].text;
        if (!SplitKey(st.args[0].text, root, sub)) return false;
        if (value == "@") value.clear();
        HKEY k = nullptr;
        LONG rc = RegCreateKeyExA(root, sub.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr);
        if (rc != ERROR_SUCCESS) return Fail(Format("cannot create the key, error %ld", rc));
        const Arg& data = st.args[2];
        if (data.keyed && data.key == "dword") {
            long n;
            if (!ParseInt(data.value, n)) {
                RegCloseKey(k);
                return Fail("bad dword=" + data.value);
            }
            DWORD d = (DWORD)n;
            rc = RegSetValueExA(k, value.c_str(), 0, REG_DWORD, (const BYTE*)&d, sizeof d);
            note = Format("dword %lu", d);
        } else {
            rc = RegSetValueExA(k, value.c_str(), 0, REG_SZ, (const BYTE*)data.text.c_str(),
                                (DWORD)data.text.size() + 1);
            note = Quote(data.text);
        }
        RegCloseKey(k);
        if (rc != ERROR_SUCCESS) return Fail(Format("cannot set the value, error %ld", rc));
        return true;
    }

    // run EXE [ARG...] [code=N] [out=FILE] [lines=N] [timeout=S]: runs a
    // program to its end (default 60 s) with the case folder as current
    // directory; stdout goes to FILE (default run-out.txt) of the case folder.
    bool RunProgram(const Step& st, std::string& note)
    {
        if (!Need(st, 1)) return false;
        std::string cmd, outName = "run-out.txt";
        long want = -1, lines = -1, seconds = 60;
        for (const Arg& a : st.args) {
            if (a.keyed && a.key == "code" && !ParseInt(a.value, want)) return Fail("bad code=" + a.value);
            if (a.keyed && a.key == "lines" && !ParseInt(a.value, lines)) return Fail("bad lines=" + a.value);
            if (a.keyed && a.key == "timeout" && !ParseInt(a.value, seconds)) return Fail("bad timeout=" + a.value);
            if (a.keyed && a.key == "out") outName = a.value;
            if (a.keyed) continue;
            std::string arg = cmd.empty() ? InCaseFolder(a.text) : a.text;
            cmd += (cmd.empty() ? "" : " ") + (arg.find(' ') == std::string::npos ? arg : "\"" + arg + "\"");
        }
        std::string outPath = InCaseFolder(outName);
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        HANDLE out = CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
        if (out == INVALID_HANDLE_VALUE) return Fail("cannot write " + outPath);
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        si.hStdOutput = out;
        si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        PROCESS_INFORMATION pi = {};
        std::vector<char> line(cmd.begin(), cmd.end());
        line.push_back(0);
        BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      CaseFolder.c_str(), &si, &pi);
        CloseHandle(out);
        if (!started) return Fail(Format("cannot start %s, error %lu", cmd.c_str(), GetLastError()));
        DWORD waited = WaitForSingleObject(pi.hProcess, (DWORD)seconds * 1000);
        DWORD code = 0;
        GetExitCodeProcess(pi.hProcess, &code);
        if (waited != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 255);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        if (waited != WAIT_OBJECT_0) return Fail(Format("still running after %ld s", seconds));
        std::string text;
        ReadFileBytes(outPath, text);
        long count = (long)std::count(text.begin(), text.end(), '\n');
        note = Format("exit code %lu, %ld line(s) in %s:\n", code, count, outName.c_str()) + text;
        if (want >= 0 && (long)code != want) return Fail(Format("exit code %lu, wanted %ld:\n%s", code, want, text.c_str()));
        if (lines >= 0 && count != lines) return Fail(Format("%ld line(s), wanted %ld:\n%s", count, lines, text.c_str()));
        return true;
    }

    bool Delete(const Step& st, std::string& note)
    {
        if (!Need(st, 1)) return false;
        std::string path = InCaseFolder(st.args[0].text);
        if (!DeleteFileA(path.c_str())) return Fail(Format("cannot delete %s, error %lu", path.c_str(), GetLastError()));
        note = "deleted";
        return true;
    }

    // link PATH TARGET [hard]: makes PATH a symbolic link to the file or
    // folder TARGET, or with hard a second name of the file TARGET, as
    // another account could plant one. Wine makes no links of its own
    // (mklink does nothing): Unix ln is started, and the link waited for.
    // An empty folder at PATH is removed first, so that a folder can be
    // replaced by a link.
    bool Link(const Step& st, std::string& note)
    {
        if (!Need(st, 2)) return false;
        bool hard = st.args.size() > 2 && st.args[2].text == "hard";
        std::string path = InCaseFolder(st.args[0].text), target = InCaseFolder(st.args[1].text);
        typedef char*(CDECL * ToUnix)(LPCWSTR);
        typedef WCHAR*(CDECL * ToDos)(LPCSTR);
        HMODULE kernel = GetModuleHandleA("kernel32.dll");
        ToUnix toUnix = (ToUnix)(void*)GetProcAddress(kernel, "wine_get_unix_file_name");
        ToDos toDos = (ToDos)(void*)GetProcAddress(kernel, "wine_get_dos_file_name");
        if (!toUnix || !toDos) return Fail("links are made under Wine only");
        auto unix = [&](const std::string& p) {
            std::wstring w(p.begin(), p.end());
            char* u = toUnix(w.c_str());
            std::string r = u ? u : "";
            if (u) HeapFree(GetProcessHeap(), 0, u);
            return r;
        };
        std::string from = unix(path), to = unix(target);
        WCHAR* ln = toDos("/bin/ln");
        if (from.empty() || to.empty() || !ln) return Fail("no Unix name for " + path + " or " + target);
        DWORD a = GetFileAttributesA(path.c_str());
        if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) && !RemoveDirectoryA(path.c_str()))
            return Fail(Format("cannot remove the folder %s, error %lu", path.c_str(), GetLastError()));
        std::wstring cmd = L"\"" + std::wstring(ln) + L"\" " + (hard ? L"" : L"-s ") + L"\"" +
                           std::wstring(to.begin(), to.end()) + L"\" \"" + std::wstring(from.begin(), from.end()) +
                           L"\"";
        HeapFree(GetProcessHeap(), 0, ln);
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        std::vector<WCHAR> line(cmd.begin(), cmd.end());
        line.push_back(0);
        if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            return Fail(Format("cannot start ln, error %lu", GetLastError()));
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        // A Unix process's handle is never signalled here: the link is
        // waited for instead.
        for (int i = 0; i < 200; ++i) {
            if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
                note = Format("%s -> %s, attributes 0x%lx", from.c_str(), to.c_str(),
                              GetFileAttributesA(path.c_str()));
                return true;
            }
            Sleep(50);
        }
        return Fail("no link " + path + " after 10 s");
    }

    // ---- state planted before launch

    // Tokens of makefile texts: {crlf} {cr} {lf} {tab} {nul} {xHH}; any
    // other text stands for itself ({i} is handled by repeat=).
    bool Unescape(const std::string& in, std::string& out)
    {
        out.clear();
        for (size_t i = 0; i < in.size();) {
            if (in[i] == '{') {
                size_t end = in.find('}', i);
                std::string tok = end == std::string::npos ? "" : in.substr(i + 1, end - i - 1);
                const char* simple = tok == "crlf" ? "\r\n" : tok == "cr" ? "\r" : tok == "lf" ? "\n"
                                     : tok == "tab" ? "\t" : nullptr;
                if (simple) {
                    out += simple;
                    i = end + 1;
                    continue;
                }
                if (tok == "nul") {
                    out += '\0';
                    i = end + 1;
                    continue;
                }
                if (tok.size() == 3 && tok[0] == 'x' && isxdigit((unsigned char)tok[1]) &&
                    isxdigit((unsigned char)tok[2])) {
                    out += (char)strtol(tok.substr(1).c_str(), nullptr, 16);
                    i = end + 1;
                    continue;
                }
            }
            out += in[i++];
        }
        return true;
    }

    static bool MakeFolders(const std::string& folder)
    {
        if (folder.size() < 3) return true;
        DWORD a = GetFileAttributesA(folder.c_str());
        if (a != INVALID_FILE_ATTRIBUTES) return (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
        size_t cut = folder.find_last_of('\\');
        if (cut != std::string::npos && !MakeFolders(folder.substr(0, cut))) return false;
        return CreateDirectoryA(folder.c_str(), nullptr) != FALSE;
    }

    // makefile PATH PIECE... [seed=N] [readonly]: writes a file made of the
    // pieces, in order: file=F (the bytes of F of the case folder), text=T,
    // repeat=N:T (T N times; {i} in T counts 1..N), random=N (N bytes of a
    // fixed generator, seeded by seed=, default 1). Missing folders are
    // made; an existing file is replaced; readonly sets that attribute.
    bool MakeFile(const Step& st, std::string& note)
    {
        if (!Need(st, 2)) return false;
        std::string path = InCaseFolder(st.args[0].text);
        std::string data;
        unsigned long seed = 1;
        bool readOnly = false;
        for (size_t i = 1; i < st.args.size(); ++i) {
            const Arg& a = st.args[i];
            if (a.keyed && a.key == "seed") {
                long n;
                if (!ParseInt(a.value, n)) return Fail("bad seed=" + a.value);
                seed = (unsigned long)n;
            } else if (!a.keyed && a.text == "readonly") {
                readOnly = true;
            } else if (a.keyed && a.key == "file") {
                std::string bytes;
                if (!ReadFileBytes(InCaseFolder(a.value), bytes)) return Fail("cannot read " + a.value);
                data += bytes;
            } else if (a.keyed && a.key == "text") {
                std::string t;
                Unescape(a.value, t);
                data += t;
            } else if (a.keyed && a.key == "repeat") {
                size_t colon = a.value.find(':');
                long n;
                if (colon == std::string::npos || !ParseInt(a.value.substr(0, colon), n) || n < 0)
                    return Fail("repeat= wants N:TEXT");
                std::string t;
                Unescape(a.value.substr(colon + 1), t);
                bool counted = t.find("{i}") != std::string::npos;
                for (long k = 1; k <= n; ++k) {
                    if (!counted) {
                        data += t;
                        continue;
                    }
                    std::string one = t, num = Format("%ld", k);
                    for (size_t at = one.find("{i}"); at != std::string::npos; at = one.find("{i}", at + num.size()))
                        one.replace(at, 3, num);
                    data += one;
                }
            } else if (a.keyed && a.key == "random") {
                long n;
                if (!ParseInt(a.value, n) || n < 0) return Fail("bad random=" + a.value);
                unsigned long x = seed * 2654435761u + 12345u;
                for (long k = 0; k < n; ++k) {
                    x ^= x << 13;
                    x ^= x >> 17;
                    x ^= x << 5;
                    x &= 0xFFFFFFFFu;
                    data += (char)(x >> 24);
                }
            } else {
                return Fail("unknown makefile piece " + a.text);
            }
        }
        size_t cut = path.find_last_of('\\');
        if (cut != std::string::npos && !MakeFolders(path.substr(0, cut)))
            return Fail("cannot make the folder of " + path);
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (f == INVALID_HANDLE_VALUE) return Fail(Format("cannot create %s, error %lu", path.c_str(), GetLastError()));
        DWORD put = 0;
        BOOL ok = data.empty() || WriteFile(f, data.data(), (DWORD)data.size(), &put, nullptr);
        CloseHandle(f);
        if (!ok || put != data.size()) return Fail("short write to " + path);
        if (readOnly && !SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY))
            return Fail(Format("cannot make %s read-only, error %lu", path.c_str(), GetLastError()));
        note = Format("%u bytes%s", (unsigned)data.size(), readOnly ? ", read-only" : "");
        return true;
    }

    std::map<std::string, HANDLE> locks;

    // lock PATH: holds the file open with no sharing, so that nobody else
    // can open it, until unlock PATH or the end of the script.
    bool Lock(const Step& st, std::string& note)
    {
        if (!Need(st, 1)) return false;
        std::string path = InCaseFolder(st.args[0].text);
        if (locks.count(path)) return Fail(path + " is already locked");
        HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (f == INVALID_HANDLE_VALUE) return Fail(Format("cannot open %s, error %lu", path.c_str(), GetLastError()));
        locks[path] = f;
        note = "held open without sharing";
        return true;
    }

    bool Unlock(const Step& st, std::string& note)
    {
        if (!Need(st, 1)) return false;
        std::string path = InCaseFolder(st.args[0].text);
        auto it = locks.find(path);
        if (it == locks.end()) return Fail(path + " is not locked");
        CloseHandle(it->second);
        locks.erase(it);
        note = "closed";
        return true;
    }

    void UnlockAll()
    {
        for (auto& l : locks) CloseHandle(l.second);
        locks.clear();
    }

    // idle NAME [timeout=S]: waits until the thread of NAME handles messages
    // again (a WM_NULL sent to it returns), e.g. at the end of the
    // installation run, which holds Pellwick's thread.
    bool Idle(const Step& st, std::string& note)
    {
        if (!Need(st, 1)) return false;
        std::vector<Arg> props;
        std::map<std::string, std::string> opts;
        if (!Split(st, 1, {"timeout"}, props, opts)) return false;
        if (!props.empty()) return Fail("idle takes only timeout=");
        double timeout;
        if (!Seconds(opts, "timeout", 15, timeout)) return false;
        HWND h;
        if (!Window(st.args[0].text, h)) return false;
        double start = Now();
        DWORD_PTR r = 0;
        if (!SendMessageTimeoutA(h, WM_NULL, 0, 0, SMTO_NORMAL, (UINT)(timeout * 1000), &r))
            return Fail(Format("no answer within %.1f s", timeout));
        note = Format("answered after %.3f s", Now() - start);
        return true;
    }

    // flush EDIT [timeout=S]: waits until every message posted so far to the
    // thread of EDIT (an Edit control) has been handled. It posts EM_SETSEL
    // behind them and waits for the selection to change, then puts the
    // selection back the same way. Posted messages of one thread are taken in
    // order, so a syschar or postclick before it has then been handled too.
    bool Flush(const Step& st, std::string& note)
    {
        if (!Need(st, 1)) return false;
        std::vector<Arg> props;
        std::map<std::string, std::string> opts;
        if (!Split(st, 1, {"timeout"}, props, opts)) return false;
        if (!props.empty()) return Fail("flush takes only timeout=");
        double timeout;
        if (!Seconds(opts, "timeout", 15, timeout)) return false;
        HWND h;
        if (!Window(st.args[0].text, h)) return false;
        if (!IsWindow(h) || _stricmp(ClassOf(h).c_str(), "Edit") != 0) return Fail("flush needs an Edit");
        double start = Now(), until = start + timeout;
        auto selection = [&](DWORD& sel) {
            DWORD_PTR r = 0;
            if (!SendMessageTimeoutA(h, EM_GETSEL, 0, 0, SMTO_NORMAL, 1000, &r)) return false;
            sel = (DWORD)r;
            return true;
        };
        auto post = [&](DWORD want) {
            if (!PostMessageA(h, EM_SETSEL, LOWORD(want), HIWORD(want)))
                return Fail(Format("PostMessage failed, error %lu", GetLastError()));
            for (;;) {
                DWORD sel = 0;
                if (selection(sel) && sel == want) return true;
                if (!IsWindow(h)) return Fail(st.args[0].text + " was destroyed");
                if (Now() > until) return Fail(Format("the posted messages were not handled within %.1f s", timeout));
                PollPause();
            }
        };
        DWORD_PTR length = 0;
        if (!SendMessageTimeoutA(h, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, (UINT)(timeout * 1000), &length))
            return Fail(Format("no answer within %.1f s", timeout));
        if (length == 0) return Fail("flush needs an Edit holding some text");
        DWORD old = 0;
        while (!selection(old)) {
            if (Now() > until) return Fail(Format("no answer within %.1f s", timeout));
            PollPause();
        }
        DWORD mark = old == MAKELONG(0, 1) ? MAKELONG(0, 0) : MAKELONG(0, 1);
        if (!post(mark) || !post(old)) return false;
        note = Format("handled after %.3f s", Now() - start);
        return true;
    }

    // The first top-level window of any process that matches props, or 0.
    HWND AnyWindowMatching(const std::vector<Arg>& props, Snap& found)
    {
        std::vector<HWND> all;
        EnumWindows(CollectAll, (LPARAM)&all);
        for (HWND h : all) {
            Snap s = TakeSnap(h, false);
            if (s.alive && MatchAll(s, props)) {
                found = s;
                return h;
            }
        }
        return nullptr;
    }

    static std::string WithPid(HWND h, const std::string& description)
    {
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        return description + Format(" pid %lu", pid);
    }

    // find NAME PROP... [timeout=S]: a top-level window of any process (the
    // shell's windows, say).
    bool Find(const Step& st, std::string& note)
    {
        if (!Need(st, 2)) return false;
        std::vector<Arg> props;
        double timeout;
        if (!PropsAndSeconds(st, 1, "timeout", 15, props, timeout)) return false;
        AddVisibleDefault(props);
        double until = Now() + timeout;
        for (;;) {
            Snap s;
            if (HWND h = AnyWindowMatching(props, s)) {
                names[st.args[0].text] = h;
                marks[st.args[0].text] = Now();
                note = WithPid(h, Describe(s));
                return true;
            }
            if (Now() > until) return Fail(Format("no such window within %.1f s", timeout));
            PollPause();
        }
    }

    // nofind PROP... [for=S]: no top-level window of any process matches
    // the PROPs now or within S seconds (default 3), e.g. a program that
    // must not have been started.
    bool NoFind(const Step& st, std::string& note)
    {
        if (!Need(st, 1)) return false;
        std::vector<Arg> props;
        double span;
        if (!PropsAndSeconds(st, 0, "for", 3, props, span)) return false;
        AddVisibleDefault(props);
        double until = Now() + span;
        for (;;) {
            Snap s;
            if (HWND h = AnyWindowMatching(props, s)) return Fail("found " + WithPid(h, Describe(s)));
            if (Now() > until) break;
            PollPause();
        }
        note = Format("none within %.1f s", span);
        return true;
    }

    bool Dump(const Step& st, std::string& note)
    {
        if (!Need(st, 1)) return false;
        HWND h;
        if (!Window(st.args[0].text, h)) return false;
        note = Describe(TakeSnap(h, false));
        for (HWND c : Descendants(h)) note += "\n           " + Describe(TakeSnap(c, true));
        return true;
    }

    static std::string Today(const std::string& pattern)
    {
        SYSTEMTIME t;
        GetLocalTime(&t);
        std::string out;
        for (size_t i = 0; i < pattern.size();) {
            size_t run = 1;
            while (i + run < pattern.size() && pattern[i + run] == pattern[i]) ++run;
            char c = pattern[i];
            if (c == 'd') out += Format(run >= 2 ? "%02u" : "%u", t.wDay);
            else if (c == 'M') out += Format(run >= 2 ? "%02u" : "%u", t.wMonth);
            else if (c == 'y') out += run >= 4 ? Format("%04u", t.wYear) : Format("%02u", t.wYear % 100);
            else out += pattern.substr(i, run);
            i += run;
        }
        return out;
    }

    // "{case}" in an argument stands for the case folder (no trailing
    // backslash), as Pellwick sees its own folder.
    Step Expand(const Step& in) const
    {
        Step st = in;
        auto expand = [&](std::string& s) {
            for (size_t at = s.find("{case}"); at != std::string::npos; at = s.find("{case}", at + caseDir.size()))
                s.replace(at, 6, caseDir);
            // {env:NAME}: the driver's environment, which is the prefix's
            // (APPDATA, USERNAME, WINDIR...).
            for (size_t at = s.find("{env:"); at != std::string::npos; at = s.find("{env:", at)) {
                size_t end = s.find('}', at);
                if (end == std::string::npos) break;
                char buf[1024] = {0};
                std::string name = s.substr(at + 5, end - at - 5);
                DWORD n = GetEnvironmentVariableA(name.c_str(), buf, sizeof buf);
                std::string value = n && n < sizeof buf ? buf : "";
                s.replace(at, end + 1 - at, value);
                at += value.size();
            }
            // {today:PATTERN}: today's date, d dd M MM yy yyyy in PATTERN
            // standing for day, month and year; anything else as it stands.
            for (size_t at = s.find("{today:"); at != std::string::npos; at = s.find("{today:", at)) {
                size_t end = s.find('}', at);
                if (end == std::string::npos) break;
                std::string value = Today(s.substr(at + 7, end - at - 7));
                s.replace(at, end + 1 - at, value);
                at += value.size();
            }
        };
        for (Arg& a : st.args) {
            expand(a.text);
            expand(a.value);
        }
        expand(st.rest);
        return st;
    }

    bool Run(const Step& in, std::string& note)
    {
        Step st = Expand(in);
        const std::string& c = st.command;
        if (c == "launch") return Launch(st, note);
        if (c == "uninstall") return Uninstall(st, note);
        if (c == "wait") return Wait(st, note);
        if (c == "gone") return Gone(st, note);
        if (c == "child") return Child(st, note);
        if (c == "check") return Check(st, note);
        if (c == "click") return Click(st, note, false);
        if (c == "postclick") return Click(st, note, true);
        if (c == "close") return Close(st, note);
        if (c == "msgbox") return MsgBox(st, note);
        if (c == "exit") return Exit(st, note);
        if (c == "running") {
            std::string gone;
            if (!Launched) return Fail("nothing launched");
            if (ProcessGone(gone)) return Fail(gone);
            note = "still running";
            return true;
        }
        if (c == "kill") {
            if (Launched && !ProcessExited()) {
                TerminateProcess(Proc.hProcess, 255);
                WaitForSingleObject(Proc.hProcess, 10000);
            }
            note = "terminated";
            return true;
        }
        if (c == "never") return Never(st, note);
        if (c == "elapsed") return Elapsed(st, note);
        if (c == "screenshot") return Screenshot(st, note);
        if (c == "reg") return Reg(st, note);
        if (c == "winver") return WinVer(st, note);
        if (c == "token") return Token(st, note);
        if (c == "file") return File(st, note);
        if (c == "dump") return Dump(st, note);
        if (c == "settext") return SetText(st, note);
        if (c == "listopen") return ListOpen(st, note);
        if (c == "comboselect") return ComboSelect(st, note);
        if (c == "items") return Items(st, note);
        if (c == "key") return Key(st, note);
        if (c == "syschar") return SysChar(st, note);
        if (c == "regset") return RegSet(st, note);
        if (c == "makefile") return MakeFile(st, note);
        if (c == "nofind") return NoFind(st, note);
        if (c == "run") return RunProgram(st, note);
        if (c == "delete") return Delete(st, note);
        if (c == "link") return Link(st, note);
        if (c == "lock") return Lock(st, note);
        if (c == "unlock") return Unlock(st, note);
        if (c == "find") return Find(st, note);
        if (c == "idle") return Idle(st, note);
        if (c == "flush") return Flush(st, note);
        if (c == "echo") {
            note = st.rest;
            return true;
        }
        return Fail("unknown command " + c);
    }
};

const char* const Commands[] = {"launch", "wait",    "gone",  "child",      "check", "click",
                                "postclick", "close", "msgbox", "exit",     "running", "kill",
                                "never",  "elapsed", "screenshot", "reg",   "file",  "dump", "echo",
                                "settext", "listopen", "comboselect", "items", "key", "syschar",
                                "regset", "find", "idle", "flush", "makefile", "lock", "unlock", "nofind",
                                "run", "delete", "winver", "token", "uninstall", "link"};

std::string FolderOf(const std::string& path)
{
    size_t p = path.find_last_of("\\/");
    return p == std::string::npos ? "." : path.substr(0, p);
}

std::string LastPart(const std::string& path)
{
    size_t p = path.find_last_of("\\/");
    return p == std::string::npos ? path : path.substr(p + 1);
}

std::string Env(const char* name)
{
    char buf[MAX_PATH * 2] = {0};
    DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
    return n && n < sizeof buf ? buf : "";
}

}  // namespace pwdrive

using namespace pwdrive;

int main(int argc, char** argv)
{
    QueryPerformanceFrequency(&ClockFreq);
    QueryPerformanceCounter(&ClockStart);
    InitializeCriticalSection(&JournalLock);
    setvbuf(stdout, nullptr, _IONBF, 0);

    if (argc != 2) {
        Say("usage: pwdrive CASE.pwd\nFAIL ?: no script given\n");
        return 1;
    }
    char full[MAX_PATH * 2];
    if (!GetFullPathNameA(argv[1], sizeof full, full, nullptr)) strcpy(full, argv[1]);
    Runner r;
    r.caseDir = FolderOf(full);
    CaseFolder = r.caseDir;
    ScreenImage = Env("PW_SCREEN");
    r.caseName = Env("PW_CASE");
    if (r.caseName.empty()) r.caseName = LastPart(r.caseDir);
    r.outDir = Env("PW_OUT");
    r.screenFile = Env("PW_SCREEN");
    if (!r.outDir.empty()) CreateDirectoryA(r.outDir.c_str(), nullptr);

    std::vector<Step> steps;
    std::string err;
    if (!LoadScript(full, steps, err)) {
        Say("FAIL %s: %s\n", r.caseName.c_str(), err.c_str());
        return 1;
    }
    for (const Step& st : steps) {
        bool known = false;
        for (const char* c : Commands)
            if (st.command == c) known = true;
        if (!known) {
            Say("FAIL %s: line %d: unknown command %s\n", r.caseName.c_str(), st.line, st.command.c_str());
            return 1;
        }
    }
    Say("case %s: %u steps, screen %dx%d\n", r.caseName.c_str(), (unsigned)steps.size(), ScreenW(), ScreenH());

    WatchThread = CreateThread(nullptr, 0, Watcher, nullptr, 0, nullptr);

    bool passed = true;
    std::string reason;
    for (const Step& st : steps) {
        std::string note;
        bool ok = r.Run(st, note);
        double t = Now() - (r.marks.count("launch") ? r.marks["launch"] : 0);
        Say("%8.3f %-4s %3d: %s%s%s\n", t, ok ? "ok" : "FAIL", st.line, st.source.c_str(),
            note.empty() ? "" : "  -> ", note.c_str());
        if (!ok) {
            passed = false;
            reason = Format("line %d: %s: %s", st.line, st.command.c_str(), r.error.c_str());
            break;
        }
    }

    if (!passed && Launched) {
        // What the process showed, to tell why the step failed.
        SyncJournal();
        Say("windows of the process seen so far (s from launch, state):\n%s",
            JournalText(r.marks.count("launch") ? r.marks["launch"] : 0).c_str());
    }
    if (Launched && !ProcessExited()) {
        TerminateProcess(Proc.hProcess, 255);
        WaitForSingleObject(Proc.hProcess, 10000);
        Say("Pellwick was still running: terminated\n");
    }
    r.UnlockAll();
    StopWatch = 1;
    if (WatchThread) WaitForSingleObject(WatchThread, 5000);

    if (!r.outDir.empty()) {
        std::string path = r.outDir + "\\journal.txt";
        FILE* f = fopen(path.c_str(), "wb");
        if (f) {
            double origin = r.marks.count("launch") ? r.marks["launch"] : 0;
            std::string marks;
            for (auto& m : r.marks) marks += Format("%8.3f  mark %s\n", m.second - origin, m.first.c_str());
            fprintf(f, "marks (s from launch)\n%s\nwindow states (s from launch)\n%s", marks.c_str(),
                    JournalText(origin).c_str());
            fclose(f);
        }
    }

    if (passed) Say("PASS %s\n", r.caseName.c_str());
    else Say("FAIL %s: %s\n", r.caseName.c_str(), reason.c_str());
    return passed ? 0 : 1;
}
