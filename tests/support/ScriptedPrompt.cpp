#include "tests/support/ScriptedPrompt.h"

namespace {

int DefaultAnswer(unsigned flags) {
    switch (flags & MB_TYPEMASK) {
    case MB_OK:
        return IDOK;
    case MB_YESNO:
        return IDNO;
    case MB_ABORTRETRYIGNORE:
        return IDABORT;
    default:
        return IDCANCEL;
    }
}

} // namespace

ScriptedPrompt::ScriptedPrompt() : m_previous(&GetPrompt()) {
    SetPrompt(this);
}

ScriptedPrompt::~ScriptedPrompt() {
    SetPrompt(m_previous);
}

void ScriptedPrompt::AnswerMessageBox(int answer) {
    m_messageBoxAnswers.push_back(answer);
}

void ScriptedPrompt::AnswerCreateDb(const CString& path, const CString& password, const CString& retyped) {
    CreateDbRequest answer;
    answer.path = path;
    answer.password = password;
    answer.retypedPassword = retyped;
    m_createDbAnswers.push_back(answer);
}

void ScriptedPrompt::CancelCreateDb() {
    m_createDbAnswers.push_back(std::nullopt);
}

void ScriptedPrompt::AnswerFileDialog(const CString& path) {
    m_fileAnswers.push_back(path);
}

void ScriptedPrompt::CancelFileDialog() {
    m_fileAnswers.push_back(std::nullopt);
}

std::vector<ScriptedPrompt::Call> ScriptedPrompt::MessageBoxes() const {
    std::vector<Call> boxes;
    for (const Call& call : m_calls)
        if (call.kind == Kind::MessageBox)
            boxes.push_back(call);
    return boxes;
}

int ScriptedPrompt::UnexpectedCalls() const {
    int count = 0;
    for (const Call& call : m_calls)
        if (call.unexpected)
            ++count;
    return count;
}

int ScriptedPrompt::PendingAnswers() const {
    return static_cast<int>(m_messageBoxAnswers.size() + m_createDbAnswers.size() + m_fileAnswers.size());
}

void ScriptedPrompt::Clear() {
    m_calls.clear();
    m_messageBoxAnswers.clear();
    m_createDbAnswers.clear();
    m_fileAnswers.clear();
    m_waitCursorsShown = 0;
}

int ScriptedPrompt::MessageBox(WindowHandle owner, const char* text, const char* caption, unsigned flags) {
    Call call;
    call.kind = Kind::MessageBox;
    call.owner = owner;
    call.text = text;
    call.caption = caption;
    call.flags = flags;
    if (m_messageBoxAnswers.empty()) {
        call.unexpected = true;
        call.answer = DefaultAnswer(flags);
    } else {
        call.answer = m_messageBoxAnswers.front();
        m_messageBoxAnswers.pop_front();
    }
    m_calls.push_back(call);
    return call.answer;
}

bool ScriptedPrompt::RunCreateDbDialog(CreateDbRequest& request) {
    Call call;
    call.kind = Kind::CreateDbDialog;
    call.createDb = request;
    if (m_createDbAnswers.empty()) {
        call.unexpected = true;
    } else {
        std::optional<CreateDbRequest> answer = m_createDbAnswers.front();
        m_createDbAnswers.pop_front();
        if (answer) {
            request.path = answer->path;
            request.password = answer->password;
            request.retypedPassword = answer->retypedPassword;
            call.accepted = true;
        }
    }
    m_calls.push_back(call);
    return call.accepted;
}

bool ScriptedPrompt::AnswerFile(Kind kind, FileDialogRequest& request) {
    Call call;
    call.kind = kind;
    call.fileDialog = request;
    if (m_fileAnswers.empty()) {
        call.unexpected = true;
    } else {
        std::optional<CString> answer = m_fileAnswers.front();
        m_fileAnswers.pop_front();
        if (answer) {
            request.fileName = *answer;
            call.accepted = true;
        }
    }
    m_calls.push_back(call);
    return call.accepted;
}

bool ScriptedPrompt::GetOpenFileName(FileDialogRequest& request) {
    return AnswerFile(Kind::OpenFileDialog, request);
}

bool ScriptedPrompt::GetSaveFileName(FileDialogRequest& request) {
    return AnswerFile(Kind::SaveFileDialog, request);
}

void ScriptedPrompt::BeginWaitCursor() {
    ++m_waitCursorsShown;
    ++m_waitCursorDepth;
}

void ScriptedPrompt::EndWaitCursor() {
    --m_waitCursorDepth;
}
