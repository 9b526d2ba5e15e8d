#include "platform/SkinDialog.h"

#include "platform/TimerHost.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QWidget>

CFont CSkinAttribute::m_DefaultFont;

namespace {

ModalHook g_modalHook;

// Drops input meant for any window but the modal dialog and what lies inside it.
class ModalFilter : public QObject {
public:
    explicit ModalFilter(QWidget* dialog) : m_dialog(dialog) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Wheel: {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (!widget || !m_dialog)
                return false;
            return widget != m_dialog && !m_dialog->isAncestorOf(widget);
        }
        default: return false;
        }
    }

private:
    QPointer<QWidget> m_dialog;
};

} // namespace

void SetModalHook(ModalHook hook) { g_modalHook = std::move(hook); }

CSkinDialog::CSkinDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

CSkinDialog::~CSkinDialog()
{
    if (m_quitLoop)
        m_quitLoop();
}

void CSkinDialog::OnWidgetCreated(QWidget* widget) { widget->setFocusPolicy(Qt::StrongFocus); }

BOOL CSkinDialog::CreateDialogWindow()
{
    if (IsWindow())
        return FALSE;
    if (!CreateEx(0, WS_POPUP, CRect(0, 0, 0, 0), m_pParentWnd, 0))
        return FALSE;
    const auto life = GetLifeToken();
    OnInitDialog();
    return !life.expired() && IsWindow() ? TRUE : FALSE;
}

BOOL CSkinDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    m_nIDTemplate = nIDTemplate;
    if (pParentWnd)
        m_pParentWnd = pParentWnd;
    m_bModal = false;
    m_bEnded = false;
    return CreateDialogWindow();
}

INT_PTR CSkinDialog::DoModal()
{
    m_bModal = true;
    m_bEnded = false;
    m_nResult = IDCANCEL;
    const auto life = GetLifeToken();
    if (!CreateDialogWindow()) {
        if (!life.expired())
            m_bModal = false;
        return -1;
    }
    if (!m_bEnded) {
        ShowWindow(SW_SHOW);
        if (QWidget* widget = GetSafeHwnd())
            widget->setFocus();
        if (g_modalHook) {
            // A person sees the dialog before answering it; a layered one takes clicks only where
            // its picture is, so it is painted before the hook acts.
            UpdateWindow();
            g_modalHook(*this);
        } else if (dynamic_cast<VirtualTimerHost*>(&GetTimerHost()) == nullptr && QCoreApplication::instance()) {
            ModalFilter filter(GetSafeHwnd());
            qApp->installEventFilter(&filter);
            QEventLoop loop;
            m_quitLoop = [&loop] { loop.quit(); };
            if (!m_bEnded)
                loop.exec();
            if (!life.expired())
                m_quitLoop = nullptr;
            qApp->removeEventFilter(&filter);
        }
    }
    if (life.expired())
        return IDCANCEL;
    const int result = m_bEnded ? m_nResult : IDCANCEL;
    DestroyWindow();
    m_bModal = false;
    return result;
}

void CSkinDialog::EndDialog(int nResult)
{
    m_nResult = nResult;
    m_bEnded = true;
    if (m_bModal) {
        if (m_quitLoop)
            m_quitLoop();
        return;
    }
    ShowWindow(SW_HIDE);
}

void CSkinDialog::SetIcon(const QIcon& icon, BOOL /*bBigIcon*/)
{
    if (QWidget* widget = GetSafeHwnd())
        widget->setWindowIcon(icon);
}

void CSkinDialog::CenterWindow()
{
    QWidget* widget = GetSafeHwnd();
    if (!widget || widget->isWindow())
        return;
    const QWidget* game = widget->parentWidget();
    CRect rect;
    GetWindowRect(&rect);
    SetWindowPos(nullptr, (game->width() - rect.Width()) / 2, (game->height() - rect.Height()) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

BOOL CSkinDialog::OnCommand(WPARAM wParam, LPARAM /*lParam*/)
{
    switch (LOWORD(wParam)) {
    case IDOK: OnOK(); return TRUE;
    case IDCANCEL: OnCancel(); return TRUE;
    default: return FALSE;
    }
}

void CSkinDialog::OnKeyDown(UINT nChar, UINT /*nRepCnt*/, UINT /*nFlags*/)
{
    if (nChar == VK_RETURN)
        OnOK();
    else if (nChar == VK_ESCAPE)
        OnCancel();
}
