#pragma once
// What the parts of the XML module share: a job's state, reached from the libraries'
// callbacks (which carry no user data of ours) through the job active on this thread.
#include <libxml/parser.h>
#include <libxslt/security.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "platform/fd.h"
#include "platform/xml/xml_job.h"

namespace tv::xml {

struct Job::State {
    Limits limits;
    std::chrono::steady_clock::time_point deadline;
    std::vector<std::string> roots;  // canonical folders ending with "/"
    std::uint64_t bytesRead = 0;
    Error error;
    bool failed = false;
    // The first error the parser could recover from (an undefined entity, say): it
    // fails nothing by itself, but explains a parse that fails without a fatal error.
    std::optional<Error> recovered;
    std::vector<xmlParserCtxtPtr> parsers;  // the job's own top-level parsers now running
    std::string messages;                   // the XSLT layer's text messages

    bool Expired() const { return std::chrono::steady_clock::now() >= deadline; }
    // Records the first failure; a refusal replaces an earlier plain library error,
    // which is usually its consequence.
    void Fail(Rule rule, const std::string& reason, const std::string& file = "", int line = 0,
              int column = 0);
    void Refuse(Rule rule, const std::string& what);
    bool Inside(const std::string& canonical) const;
};

// The job whose calls are running on this thread, or null.
Job::State* ActiveState();

// Makes state the active job of this thread for one scope, with the error sinks and the
// loaders installed.
class ActiveJob {
  public:
    explicit ActiveJob(Job::State* state);
    ~ActiveJob();
    ActiveJob(const ActiveJob&) = delete;
    ActiveJob& operator=(const ActiveJob&) = delete;

  private:
    Job::State* previous_;
};

// realpath(); "" when the path does not resolve.
std::string Canonical(const std::string& path);

// Opens path for reading when the policy allows it; otherwise records the refusal (a
// missing file is no refusal) and returns an invalid descriptor.
UniqueFd OpenAllowed(Job::State& state, const std::string& path);

// libxml2's entity loader and libxslt's document loader for every job.
void InstallLoadersOnce();

// The XSLT security preferences every transformation runs under.
xsltSecurityPrefsPtr JobSecurityPrefs();

// Parses path with one of the job's own parsers. dict: the dictionary libxslt wants
// shared, or null.
xmlDocPtr ParseOwned(Job::State& state, const std::string& path, xmlDictPtr dict, int options);

// Line number line of path (1-based), when the policy allows reading it; "" otherwise.
std::string SourceLine(Job::State& state, const std::string& path, int line);

}  // namespace tv::xml
