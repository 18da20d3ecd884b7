#pragma once

#include <QImage>
#include <QString>

#include <functional>
#include <vector>

namespace brenvik {

// The images the review tool writes: each job names its file (without ".png") and renders one
// image. A window or page joins the review by adding one job that builds it and grabs it.
class RenderJobRegistry {
public:
    struct Job {
        QString fileName;
        std::function<QImage()> render;
    };

    void Add(QString fileName, std::function<QImage()> render) {
        m_jobs.push_back(Job{std::move(fileName), std::move(render)});
    }

    const std::vector<Job>& Jobs() const { return m_jobs; }

private:
    std::vector<Job> m_jobs;
};

} // namespace brenvik
