// The table's animation windows: made with the view, each loaded with its strip, and started and
// stopped by the game window by name.
#include "view/GameClientView.h"

#include <cstring>

namespace {

struct CartoonSpec {
    const char* pszName;
    // The rocket and the plane are of classes of their own, so the window is reached by a function.
    CAnimationDlg& (*pWindow)(CGameClientView& view);
    const char* pszStrip;
    unsigned nFrames;
    unsigned nInterval;
};

const CartoonSpec kCartoons[] = {
    {"bomb", [](CGameClientView& v) -> CAnimationDlg& { return v.m_BombCartoon; }, "telvo\\img\\BOMB.PNG", 26, 40},
    {"rocket", [](CGameClientView& v) -> CAnimationDlg& { return v.m_RocketCartoon; }, "telvo\\img\\rocket.PNG", 2, 40},
    {"plane", [](CGameClientView& v) -> CAnimationDlg& { return v.m_PlaneCartoon; }, "telvo\\img\\plane.png", 3, 40},
    {"flower", [](CGameClientView& v) -> CAnimationDlg& { return v.m_FlowerCartoon; }, "telvo\\img\\flower.PNG", 20, 40},
    {"smoke", [](CGameClientView& v) -> CAnimationDlg& { return v.m_SmokeCartoon; }, "telvo\\img\\smoke.png", 14, 40},
    {"shuffle", [](CGameClientView& v) -> CAnimationDlg& { return v.m_ShuffleCartoon; }, "telvo\\img\\shuffle_card.png", 19, 10},
    {"role", [](CGameClientView& v) -> CAnimationDlg& { return v.m_RoleCartoon; }, "telvo\\img\\roleAnimation.png", 12, 200},
};

constexpr unsigned kSpringFrames = 20;
constexpr int kSmokeLeft = 55;
constexpr int kSmokeUp = 50;

const CartoonSpec* FindSpec(std::string_view name)
{
    for (const CartoonSpec& spec : kCartoons) {
        if (name == spec.pszName)
            return &spec;
    }
    return nullptr;
}

}  // namespace

void CGameClientView::CreateCartoons()
{
    for (const CartoonSpec& spec : kCartoons) {
        CAnimationDlg& cartoon = spec.pWindow(*this);
        cartoon.SetReporter([this](const std::string& line) {
            if (const CGameFrameDlg* frame = GetFrame())
                frame->EmitEvent(line);
        });
        cartoon.CreateOver(this);
        cartoon.LoadStrip(spec.pszStrip, spec.nFrames, RGB(0, 0, 0));
    }
    m_RocketCartoon.SetOwnerView(this);
}

CAnimationDlg* CGameClientView::FindCartoon(std::string_view name)
{
    const CartoonSpec* spec = FindSpec(name);
    return spec ? &spec->pWindow(*this) : nullptr;
}

void CGameClientView::PlayCartoon(const char* pszName)
{
    if (const CartoonSpec* spec = pszName ? FindSpec(pszName) : nullptr)
        spec->pWindow(*this).Play(spec->nInterval, 0, 0, 0);
}

void CGameClientView::PlayRoleCartoon(unsigned nFirst, unsigned nLast)
{
    m_RoleCartoon.Play(FindSpec("role")->nInterval, 1, nFirst, nLast);
}

void CGameClientView::StopCartoon(const char* pszName)
{
    if (CAnimationDlg* cartoon = pszName ? FindCartoon(pszName) : nullptr)
        cartoon->Stop();
}

void CGameClientView::LoadSpringCartoon(bool bContrary)
{
    m_FlowerCartoon.LoadStrip(bContrary ? "telvo\\img\\springContrary.png" : "telvo\\img\\spring.png", kSpringFrames, RGB(0, 0, 0));
}

void CGameClientView::PlaceSmokeCartoon(WORD wSeat)
{
    if (wSeat >= kSeats || !m_SmokeCartoon.IsWindow())
        return;
    CPoint at = m_ptSeatPanel[wSeat];
    ClientToScreen(&at);
    m_SmokeCartoon.SetWindowPos(nullptr, at.x - kSmokeLeft, at.y - kSmokeUp, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
