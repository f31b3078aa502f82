#include "framework/app/DemoPlayer.h"

#include "framework/app/DemoWriter.h"

namespace Quillo
{

DemoPlayer::DemoPlayer(DemoReader reader) : m_reader(std::move(reader))
{
    Advance();
}

void DemoPlayer::Advance()
{
    DemoRecord r;
    if (m_reader.Next(r))
        m_next = std::move(r);
    else
        m_next.reset();
}

std::optional<uint32_t> DemoPlayer::NextUpdate() const
{
    if (!m_next)
        return std::nullopt;
    return m_next->update;
}

void DemoPlayer::ApplyDue(uint32_t updateCount, DemoSink& sink, bool beforeUpdate)
{
    while (m_next && m_next->update <= updateCount)
    {
        if (IsDemoResult(m_next->command))
        {
            if (m_next->update == updateCount && !beforeUpdate)
                return;
            Advance();
            continue;
        }
        // The next record is read before this one is applied, so that a
        // call made while handling it finds its own result record.
        DemoRecord r = std::move(*m_next);
        Advance();
        Dispatch(r, sink);
    }
}

std::optional<DemoRecord> DemoPlayer::TakeResult(DemoCommand command, uint32_t updateCount)
{
    if (!m_next || m_next->command != command || m_next->update > updateCount)
        return std::nullopt;
    DemoRecord r = std::move(*m_next);
    Advance();
    return r;
}

bool DemoPlayer::TakeDisplay(bool& windowed, int& refreshRate)
{
    if (!m_next || m_next->command != DemoCommand::Display)
        return false;
    windowed = m_next->flag;
    refreshRate = m_next->value;
    Advance();
    return true;
}

void DemoPlayer::Dispatch(const DemoRecord& r, DemoSink& sink)
{
    switch (r.command)
    {
    case DemoCommand::MouseMove:
        m_x = r.x;
        m_y = r.y;
        sink.OnDemoMouseMove(m_x, m_y);
        break;
    case DemoCommand::MouseDelta:
        m_x = DemoWriter::ClampCoordinate(m_x + r.x);
        m_y = DemoWriter::ClampCoordinate(m_y + r.y);
        sink.OnDemoMouseMove(m_x, m_y);
        break;
    case DemoCommand::MouseButton:
        sink.OnDemoMouseButton(m_x, m_y, r.value, r.flag);
        break;
    case DemoCommand::Activate:
        sink.OnDemoActivate(r.flag);
        break;
    case DemoCommand::Minimize:
        sink.OnDemoMinimize(r.flag);
        break;
    case DemoCommand::KeyDown:
        sink.OnDemoKeyDown(r.value);
        break;
    case DemoCommand::KeyUp:
        sink.OnDemoKeyUp(r.value);
        break;
    case DemoCommand::KeyChar:
    case DemoCommand::KeyCharWide:
        sink.OnDemoKeyChar(r.value);
        break;
    case DemoCommand::Close:
        sink.OnDemoClose();
        break;
    case DemoCommand::MouseEnter:
        sink.OnDemoMouseEnter();
        break;
    case DemoCommand::MouseLeave:
        sink.OnDemoMouseLeave(m_x, m_y);
        break;
    case DemoCommand::LoadingDone:
        m_loadingDonePlayed = true;
        sink.OnDemoLoadingDone();
        break;
    case DemoCommand::Wheel:
        sink.OnDemoWheel(r.value);
        break;
    case DemoCommand::Display:
        sink.OnDemoDisplay(r.flag, r.value);
        break;
    default:
        break;
    }
}

} // namespace Quillo
