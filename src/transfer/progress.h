#pragma once
// How long transfers report how far they are: the main window's progress bar or the
// command line implement it.

namespace kestrova::transfer {

class Progress {
public:
    virtual ~Progress() = default;
    virtual void setMaximum(int maximum) = 0;
    virtual void setValue(int value) = 0;
};

class NoProgress : public Progress {
public:
    void setMaximum(int) override {}
    void setValue(int) override {}
};

// Counts steps against a maximum; once the maximum is reached the bar stays full.
class ProgressSteps {
public:
    explicit ProgressSteps(Progress &p) : m_p(p) {}
    void start(int maximum)
    {
        m_max = maximum < 0 ? 0 : maximum;
        m_value = 0;
        m_p.setMaximum(m_max);
        m_p.setValue(0);
    }
    void step()
    {
        if (m_value >= m_max)
            return;
        m_p.setValue(++m_value);
    }
    int value() const { return m_value; }

private:
    Progress &m_p;
    int m_max = 0;
    int m_value = 0;
};

} // namespace kestrova::transfer
