// PathMend, DtdStrip and SgmlLift24 run as the viewer runs them: a real process with
// plain arguments, in folders whose names hold spaces, against a copy of our catalogs.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/platform/test_env.h"

extern char** environ;

namespace tv::prep {
namespace {
namespace sfs = std::filesystem;

std::string Read(const std::string& path) {
    std::stringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
}

std::string Replace(std::string s, const std::string& from, const std::string& to) {
    for (std::size_t at = s.find(from); at != std::string::npos;
         at = s.find(from, at + to.size())) {
        s.replace(at, from.size(), to);
    }
    return s;
}

class PrepTools : public ::testing::Test {
  protected:
    struct Outcome {
        int code = -1;
        std::string err;
    };

    void SetUp() override {
        sfs::create_directories(data_);
        sfs::copy(TESSEL_DTD_DIR, data_, sfs::copy_options::recursive);
        sfs::create_directories(pkg_);
    }

    // Runs program (a tool name, or an absolute path) with args as its argv; with
    // addressSpace, under that limit of virtual memory.
    Outcome Run(std::string program, const std::vector<std::string>& args,
                rlim_t addressSpace = RLIM_INFINITY) {
        if (program[0] != '/') {
            program = std::string(TESSEL_PREP_DIR) + "/" + program;
        }
        std::vector<std::string> argv{program};
        argv.insert(argv.end(), args.begin(), args.end());
        std::vector<char*> cargv;
        for (auto& a : argv) {
            cargv.push_back(a.data());
        }
        cargv.push_back(nullptr);
        const std::string errFile = root_ / "stderr.txt";
        posix_spawn_file_actions_t fa;
        posix_spawn_file_actions_init(&fa);
        posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&fa, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        pid_t pid = 0;
        Outcome out;
        int status = 0;
        rlimit old{};
        getrlimit(RLIMIT_AS, &old);
        const rlimit limited{addressSpace, old.rlim_max};
        setrlimit(RLIMIT_AS, &limited);  // the child inherits it
        const int spawned = posix_spawn(&pid, program.c_str(), &fa, nullptr, cargv.data(), environ);
        setrlimit(RLIMIT_AS, &old);
        if (spawned == 0 && waitpid(pid, &status, 0) == pid) {
            out.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        posix_spawn_file_actions_destroy(&fa);
        out.err = Read(errFile);
        return out;
    }

    // The stylesheet PI and DTD references our copy of the data folder gives.
    std::string Expand(std::string s) const {
        const std::string url = "file://" + Replace(data_, " ", "%20");
        s = Replace(s, "{DTD}", url + "/");
        return Replace(s, "{XSL}", "<?xml-stylesheet type=\"text/xsl\" href=\"" + url + "/xsl/");
    }

    std::string Catalog(const std::string& name = "TVWcatalog.txt") const {
        return data_ + "/" + name;
    }

    test::TempFolder root_;
    const std::string data_ = root_ / "data dir/DTDs";
    const std::string pkg_ = root_ / "pkg dir";
};

const char kDecl[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

TEST_F(PrepTools, PathMendPointsAtTheLocalDtdAttachesTheStylesheetAndKeepsTheRest) {
    sfs::remove(data_ + "/transmittal-v1-0.dtd");  // a type whose DTD cannot be found
    struct Case {
        std::string in, want;
        bool warns = false;
    } cases[] = {
        {std::string(kDecl) +
             "\r\n<?xml-stylesheet type=\"text/xsl\" href=\"old.xsl\"?>\r\n"
             "<!DOCTYPE patent-grant SYSTEM \"patent-grant-v1-0.dtd\" [<!ENTITY x \"]>\">]>\r\n"
             "<patent-grant>\r\n<doc-number>0123456</doc-number>\r\n</patent-grant>\r\n",
         std::string(kDecl) +
             "\r\n{XSL}patent.xsl\"?>\r\n<!DOCTYPE patent-grant SYSTEM "
             "\"{DTD}patent-grant-v1-0.dtd\" [<!ENTITY x \"]>\">]>\r\n<patent-grant>\r\n"
             "<doc-number>0123456</doc-number>\r\n</patent-grant>\r\n"},
        {"<!DOCTYPE patent-application PUBLIC \"-//TESSEL//DTD Patent Application V1.0//EN\">"
         "\n<patent-application/>\n",
         "{XSL}patent.xsl\"?>\n<!DOCTYPE patent-application PUBLIC \"-//TESSEL//DTD Patent "
         "Application V1.0//EN\" \"{DTD}patent-application-v1-0.dtd\">\n<patent-application/>\n"},
        {"\xEF\xBB\xBF<?xml version='1.0'?><!DOCTYPE ST26SequenceListing [\n]><x/>",
         "\xEF\xBB\xBF<?xml version='1.0'?>\n{XSL}seqlist.xsl\"?><!DOCTYPE ST26SequenceListing "
         "SYSTEM \"{DTD}ST26SequenceListing_V1_3.dtd\" [\n]><x/>"},
        {"<?xml version=\"1.0\"?>\n<!DOCTYPE transmittal SYSTEM \"http://x/tran.dtd\">\n<t/>",
         "<?xml version=\"1.0\"?>\n{XSL}forms.xsl\"?>\n<!DOCTYPE transmittal SYSTEM "
         "\"http://x/tran.dtd\">\n<t/>",
         true},
        {"<request><!-- no DOCTYPE --></request>",
         "{XSL}forms.xsl\"?>\n<request><!-- no DOCTYPE --></request>"},
    };
    const std::string file = pkg_ + "/US 1.xml";
    for (const Case& c : cases) {
        test::WriteFile(file, c.in);
        chmod(file.c_str(), 0640);
        for (int run = 0; run < 2; ++run) {  // a second run changes nothing more
            const Outcome o = Run("PathMend", {file, Catalog()});
            EXPECT_EQ(o.code, 0) << o.err;
            EXPECT_EQ(o.err.find("warning") != std::string::npos, c.warns) << o.err;
            EXPECT_EQ(Read(file), Expand(c.want)) << c.in;
        }
        EXPECT_EQ(sfs::status(file).permissions() & sfs::perms::all,
                  sfs::perms::owner_read | sfs::perms::owner_write | sfs::perms::group_read);
    }
}

TEST_F(PrepTools, DtdStripRemovesTheDoctypeOnly) {
    const std::string file = pkg_ + "/a b.xml";
    const std::string body = "\r\n<a>&amp;<!DOCTYPE kept></a>\r\n";
    for (const std::string& doctype :
         {std::string("<!DOCTYPE a PUBLIC \"p\" 's' [<!ENTITY e \"]>\"><!-- ]> -->]>"),
          std::string()}) {
        test::WriteFile(file, std::string(kDecl) + "\r\n" + doctype + body);
        EXPECT_EQ(Run("DtdStrip", {file}).code, 0);
        EXPECT_EQ(Read(file), std::string(kDecl) + "\r\n" + body);
    }
}

// Omitted end tags, SDATA entities and an NDATA drawing.
const char kGrantSgml[] =
    "<!DOCTYPE PATDOC PUBLIC \"-//TESSEL//DTD Patent Grant SGML V2.4//EN\" [\n"
    "<!ENTITY US1-D1 SYSTEM \"US01234567-20000101-D00001.TIF\" NDATA TIFF>\n]>\n"
    "<PATDOC FILE=\"US01234567.SGM\" "
    "STATUS=\"a&mdash;&quot;&lt;\">\n<SDOBI><B100><B110><DNUM><PDAT>01234567</B110>\n"
    "</B100><B500><B540><STEXT><PDAT>Widget &mdash; &eacute;tendu &amp; &lt;b&gt;</B500>\n"
    "</SDOBI><SDOCL><CL><CLM ID=\"C1\"><PARA><PTEXT><PDAT>A widget.\n"
    "<CLM ID=\"C2\"><PARA><PTEXT><PDAT>As in </PDAT><CLREF ID=\"C1\"><PDAT>claim 1</CLREF>\n"
    "</CL></SDOCL><SDODR><EMI FILE=\"US1-D1\" HE=\"100\">\n</PATDOC>\n";

TEST_F(PrepTools, SgmlLift24WritesWellFormedXmlWithEveryCatalog) {
    const std::string sgm = pkg_ + "/US 1.sgm", xml = pkg_ + "/US 1.xml";
    test::WriteFile(sgm, kGrantSgml);
    const std::string body =
        "<PATDOC FILE=\"US01234567.SGM\" "
        "STATUS=\"a\u2014&quot;&lt;\"><SDOBI><B100><B110><DNUM><PDAT>01234567</PDAT></DNUM>"
        "</B110></B100><B500><B540><STEXT><PDAT>Widget \u2014 \u00E9tendu &amp; &lt;b&gt;</PDAT>"
        "</STEXT></B540></B500></SDOBI><SDOCL><CL><CLM ID=\"C1\"><PARA><PTEXT><PDAT>A widget."
        "</PDAT></PTEXT></PARA></CLM><CLM ID=\"C2\"><PARA><PTEXT><PDAT>As in </PDAT><CLREF "
        "ID=\"C1\"><PDAT>claim 1</PDAT></CLREF></PTEXT></PARA></CLM></CL></SDOCL><SDODR><EMI "
        "FILE=\"US01234567-20000101-D00001.TIF\" HE=\"100\"></EMI></SDODR></PATDOC>\n";
    const bool haveOnsgmls = sfs::exists("/usr/bin/onsgmls");
    for (const char* variant : {"", "-toc", "-embed", "-embed-toc"}) {
        const std::string cat = Catalog(std::string("TVWcatalog") + variant + ".txt");
        if (haveOnsgmls) {  // an SGML parser reads our catalogs, keyword of ours and all
            const Outcome o = Run("/usr/bin/onsgmls", {"-s", "-c", cat, sgm});
            EXPECT_EQ(o.code, 0) << o.err;
            EXPECT_EQ(o.err, "") << variant;
        }
        const Outcome o = Run("SgmlLift24", {sgm, cat});
        EXPECT_EQ(o.code, 0) << o.err;
        const std::string got = Read(xml);
        EXPECT_EQ(got,
                  Expand(std::string(kDecl) + "\n{XSL}patent" + variant + ".xsl\"?>\n" + body));
        xmlDocPtr doc = xmlReadMemory(got.data(), static_cast<int>(got.size()), "x.xml", nullptr,
                                      XML_PARSE_NONET);
        EXPECT_NE(doc, nullptr);
        xmlFreeDoc(doc);
    }
    // A claim reference to no claim is reported, yet the document is converted.
    test::WriteFile(sgm, Replace(kGrantSgml, "CLREF ID=\"C1\"", "CLREF ID=\"C9\""));
    const Outcome dangling = Run("SgmlLift24", {sgm, Catalog()});
    EXPECT_EQ(dangling.code, 0);
    EXPECT_NE(dangling.err.find("warning"), std::string::npos);
    EXPECT_NE(Read(xml).find("ID=\"C9\""), std::string::npos);
    // A bare system identifier naming a DTD of the catalog's folder is found there.
    test::WriteFile(sgm, Replace(kGrantSgml, "PUBLIC \"-//TESSEL//DTD Patent Grant SGML V2.4//EN\"",
                                 "SYSTEM \"patdoc-v2-4.dtd\""));
    EXPECT_EQ(Run("SgmlLift24", {sgm, Catalog()}).code, 0);
    if (!haveOnsgmls) {
        GTEST_SKIP() << "onsgmls (package opensp) is not installed";
    }
}

TEST_F(PrepTools, OurDtdsValidateTheDocumentsPathMendPrepares) {
    const std::string grantBody =
        "<bibliographic-data><publication-reference><document-id><country>US</country>\n"
        "<doc-number>0123456</doc-number><kind>B1</kind></document-id></publication-reference>"
        "<invention-title>Widget &mdash; &#x3b1;</invention-title></bibliographic-data>"
        "<abstract><p id=\"p1\" num=\"1\">A.</p></abstract><drawings><figure id=\"f1\" num=\"1\">"
        "<img id=\"i1\" file=\"D1.TIF\" img-format=\"tif\"/></figure></drawings><description>"
        "<heading id=\"h1\" level=\"1\">X</heading><p id=\"p2\" num=\"2\">See <figref idref=\"f1\">"
        "FIG. 1</figref><tables id=\"t1\" num=\"1\"><table><tgroup cols=\"1\"><colspec "
        "colname=\"c1\"/>"
        "<tbody><row><entry>1</entry></row></tbody></tgroup></table></tables><maths id=\"m1\" "
        "num=\"1\"><math><mrow><mi>x</mi><mo>=</mo><mn>1</mn></mrow></math></maths></p></"
        "description>"
        "<claims><claim id=\"c1\" num=\"1\"><claim-text>A widget.</claim-text></claim><claim "
        "id=\"c2\" "
        "num=\"2\"><claim-text>As in <claim-ref idref=\"c1\">claim 1</claim-ref>.</claim-text>"
        "</claim></claims>";
    const std::string seqBody =
        "<SequenceTotalQuantity>1</SequenceTotalQuantity><SequenceData sequenceIDNumber=\"1\">"
        "<INSDSeq><INSDSeq_length>4</INSDSeq_length><INSDSeq_moltype>DNA</INSDSeq_moltype>"
        "<INSDSeq_division>PAT</INSDSeq_division><INSDSeq_feature-table><INSDFeature>"
        "<INSDFeature_key>source</INSDFeature_key><INSDFeature_location>1..4</INSDFeature_location>"
        "<INSDFeature_quals><INSDQualifier><INSDQualifier_name>organism</INSDQualifier_name>"
        "<INSDQualifier_value>x</INSDQualifier_value></INSDQualifier></INSDFeature_quals>"
        "</INSDFeature></INSDSeq_feature-table><INSDSeq_sequence>acgt</INSDSeq_sequence></INSDSeq>"
        "</SequenceData>";
    const std::string formBody =
        "<document-id><doc-number>1</doc-number></document-id>"
        "<field name=\"x\">y &ndash; z</field>";
    struct Case {
        const char *root, *publicId, *systemId, *attrs;
        const std::string& body;
    } cases[] = {
        {"patent-grant", "Patent Grant V1.0", "patent-grant-v1-0.dtd", " lang=\"EN\"", grantBody},
        {"patent-application", "Patent Application V1.0", "patent-application-v1-0.dtd",
         " lang=\"EN\"", grantBody},
        {"ST26SequenceListing", "Sequence Listing V1.3", "ST26SequenceListing_V1_3.dtd",
         " dtdVersion=\"V1_3\"", seqBody},
        {"transmittal", "Transmittal V1.0", "x.dtd", "", formBody},
        {"request", "Request V1.0", "x.dtd", "", formBody},
        {"fee-sheet", "Fee Sheet V1.0", "x.dtd", "", formBody},
        {"declaration", "Declaration V1.0", "x.dtd", "", formBody},
        {"form", "Form V1.0", "x.dtd", "", formBody},
    };
    for (const Case& c : cases) {
        const std::string file = pkg_ + "/" + c.root + ".xml";
        test::WriteFile(file, std::string(kDecl) + "\n<!DOCTYPE " + c.root +
                                  " PUBLIC \"-//TESSEL//DTD " + c.publicId + "//EN\" \"" +
                                  c.systemId + "\">\n<" + c.root + c.attrs + ">" + c.body + "</" +
                                  c.root + ">\n");
        ASSERT_EQ(Run("PathMend", {file, Catalog()}).code, 0);
        xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
        xmlDocPtr doc = xmlCtxtReadFile(ctxt, file.c_str(), nullptr,
                                        XML_PARSE_DTDVALID | XML_PARSE_NOENT | XML_PARSE_NONET);
        EXPECT_TRUE(doc != nullptr && ctxt->valid) << c.root;
        xmlFreeDoc(doc);
        xmlFreeParserCtxt(ctxt);
    }
}

TEST_F(PrepTools, FailuresSayWhyOnOneLineAndLeaveTheInputAlone) {
    const std::string xml = pkg_ + "/in put.xml", sgm = pkg_ + "/in put.sgm";
    struct Case {
        const char* tool;
        std::string file, content;
        std::vector<std::string> args;
    } cases[] = {
        {"PathMend",
         xml,
         "<?xml version=\"1.0\"?><!DOCTYPE a [ <!ENTITY e 'x'> <a/>",
         {xml, Catalog()}},
        {"PathMend", xml, "<a/>", {xml, data_ + "/no such catalog.txt"}},
        {"PathMend", xml, "<a/>", {pkg_ + "/missing.xml", Catalog()}},
        {"PathMend", xml, "<a/>", {xml}},
        {"DtdStrip", xml, "<!-- open <!DOCTYPE a> <a/>", {xml}},
        {"DtdStrip", xml, std::string("\xFF\xFE<\0!\0", 6), {xml}},
        {"SgmlLift24", sgm, Replace(kGrantSgml, "<B500>", "<B999>"), {sgm, Catalog()}},
        {"SgmlLift24",
         sgm,
         Replace(kGrantSgml, "PUBLIC \"-//TESSEL//DTD Patent Grant SGML V2.4//EN\"",
                 "SYSTEM \"gone/patdoc.dtd\""),
         {sgm, Catalog()}},
        {"SgmlLift24", sgm, kGrantSgml, {sgm, data_ + "/no such catalog.txt"}},
        {"SgmlLift24", xml, kGrantSgml, {xml, Catalog()}},
    };
    for (const Case& c : cases) {
        sfs::remove_all(pkg_);
        test::WriteFile(c.file, c.content);
        const Outcome o = Run(c.tool, c.args);
        EXPECT_NE(o.code, 0) << c.tool << " " << c.content;
        EXPECT_TRUE(o.err.rfind(std::string(c.tool) + ": ", 0) == 0 &&
                    o.err.find('\n') == o.err.size() - 1)
            << o.err;
        EXPECT_EQ(Read(c.file), c.content);
        // Nothing else appears beside the input: no temporary file, no partial XML.
        EXPECT_EQ(std::distance(sfs::directory_iterator(pkg_), sfs::directory_iterator()), 1)
            << c.tool << ": " << o.err;
    }
}

// A listening socket on the loopback; Connected() says whether anyone came.
class Listener {
  public:
    Listener() : fd_(socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0)) {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        if (bind(fd_, reinterpret_cast<sockaddr*>(&a), len) == 0 && listen(fd_, 8) == 0 &&
            getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len) == 0) {
            port_ = ntohs(a.sin_port);
        }
    }
    ~Listener() { close(fd_); }
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;
    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    bool Connected() const {
        const int c = accept(fd_, nullptr, nullptr);
        if (c >= 0) {
            close(c);
        }
        return c >= 0;
    }

  private:
    int fd_;
    int port_ = 0;
};

// One hostile SGML document per row: SgmlLift24 reads nothing it should not, connects
// nowhere, ends at once with one line saying why, and writes no XML.
struct Hostile {
    std::string sgml, why;
};

class SgmlLiftHostile : public PrepTools {
  protected:
    void Check(const std::vector<Hostile>& cases) {
        const std::string sgm = pkg_ + "/doc.sgm", xml = pkg_ + "/doc.xml";
        for (const Hostile& c : cases) {
            test::WriteFile(sgm, c.sgml);
            const auto start = std::chrono::steady_clock::now();
            const Outcome o = Run("SgmlLift24", {sgm, Catalog()});
            EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
            EXPECT_EQ(o.code, 1) << c.sgml;
            EXPECT_NE(o.err.find(c.why), std::string::npos) << o.err;
            EXPECT_EQ(o.err.find('\n'), o.err.size() - 1) << o.err;
            EXPECT_FALSE(sfs::exists(xml)) << c.sgml;
        }
    }

    std::string WithEntity(const std::string& systemId) const {
        return "<!DOCTYPE PATDOC PUBLIC \"-//TESSEL//DTD Patent Grant SGML V2.4//EN\" [\n"
               "<!ENTITY x SYSTEM \"" +
               systemId +
               "\">\n]>\n"
               "<PATDOC><SDOBI><B100><B110><DNUM><PDAT>1&x;</SDOBI></PATDOC>\n";
    }
};

TEST_F(SgmlLiftHostile, ReadsNoFileOutsideAndNoUrl) {
    Listener listener;
    const std::string secret = root_ / "secret.txt";
    test::WriteFile(secret, "s3cr3t");
    sfs::create_symlink(secret, pkg_ + "/link.ent");
    Check({
        {WithEntity(secret), "outside the document's folder"},
        {WithEntity(pkg_ + "/link.ent"), "outside the document's folder"},
        {WithEntity("<URL>" + listener.Url("/e")), "not a local file"},
        {WithEntity(listener.Url("/e")), "not a local file"},
        {WithEntity("<OSFD>0"), "not a local file"},
        {"<!DOCTYPE PATDOC SYSTEM \"" + listener.Url("/d.dtd") + "\">\n<PATDOC></PATDOC>\n",
         "not a local file"},
        {"<!DOCTYPE PATDOC PUBLIC \"-//TESSEL//DTD Patent Grant SGML V2.4//EN\" [\n"
         "<!ENTITY % s SYSTEM \"" +
             secret +
             "\">\n"
             "<!ENTITY % u \"<!ENTITY x SYSTEM '" +
             listener.Url("/?%s;") +
             "'>\">\n%u;\n]>\n"
             "<PATDOC>&x;</PATDOC>\n",
         "outside the document's folder"},
    });
    EXPECT_FALSE(listener.Connected());
}

TEST_F(SgmlLiftHostile, EndsOnDevicesFifosAndEndlessEntities) {
    ASSERT_EQ(mkfifo((pkg_ + "/fifo.ent").c_str(), 0600), 0);
    std::string laughs =
        "<!DOCTYPE PATDOC PUBLIC \"-//TESSEL//DTD Patent Grant SGML V2.4//EN\" [\n"
        "<!ENTITY l0 \"" +
        std::string(64, 'l') + "\">\n";
    std::string params = laughs + "<!ENTITY % p0 \"" + std::string(64, 'p') + "\">\n";
    for (int i = 1; i <= 9; ++i) {
        const std::string prev = std::to_string(i - 1), name = std::to_string(i);
        laughs += "<!ENTITY l" + name + " \"";
        params += "<!ENTITY % p" + name + " \"";
        for (int k = 0; k < 10; ++k) {
            laughs += "&l" + prev + ";";
            params += "%p" + prev + ";";
        }
        laughs += "\">\n";
        params += "\">\n";
    }
    Check({
        {WithEntity("/dev/zero"), "outside the document's folder"},
        {WithEntity("/dev/urandom"), "outside the document's folder"},
        {WithEntity(pkg_ + "/fifo.ent"), "not a regular file"},
        {WithEntity("fifo.ent"), "not a regular file"},
        {laughs + "]>\n<PATDOC><SDOBI><B100><B110><DNUM><PDAT>&l9;</SDOBI></PATDOC>\n",
         "expands to more than"},
        {laughs + "]>\n<PATDOC STATUS=\"&l9;\"></PATDOC>\n", "expands to more than"},
        {params + "]>\n<PATDOC></PATDOC>\n", "expands to more than"},
    });
}

// A grant as published in SGML: a public identifier of the publisher's, NDATA entities
// of the notations real documents use, omitted end tags, empty elements, ISO and
// MathML character entities, a formula with its notebook and image, a CALS table.
const char kPublishedSgml[] =
    "<!DOCTYPE PATDOC PUBLIC \"-//XX//DTD ST.32 US PATENT GRANT V2.4 2000-09-20//EN\" [\n"
    "<!ENTITY US1-M1.NB SYSTEM \"US1-M1.NB\" NDATA NB>\n"
    "<!ENTITY US1-M1.TIF SYSTEM \"US1-M1.TIF\" NDATA TIF>\n"
    "<!ENTITY US1-P1.TIF SYSTEM \"US1-P1.TIF\" NDATA TIF>\n"
    "<!ENTITY US1-C1.CDX SYSTEM \"US1-C1.CDX\" NDATA CDX>\n"
    "<!ENTITY US1-C1.MOL SYSTEM \"US1-C1.MOL\" NDATA MOL>\n"
    "<!ENTITY US1-D1.TIF SYSTEM \"sub/../US1-D1.TIF\" NDATA TIF>\n]>\n"
    "<PATDOC DTD=\"2.4\" STATUS=\"BUILD 20000101\"><SDOBI><B100><B110><DNUM><PDAT>06000001\n"
    "<B130><PDAT>B1</B100><B500><B540><STEXT><PDAT>Gadget &ldquo;Z&rdquo;</B540><B560><B561>"
    "<PCIT><DOC><DNUM><PDAT>4000001</DOC><PNC><PDAT>1</PCIT><CITED-BY-OTHER></B561></B560>"
    "<B590><B595><PDAT>1<B597US></B590></B500><B700><B720><B721><PARTY-US><NAM><FNM><PDAT>"
    "Ana<SNM><STEXT><PDAT>Dvo&rcaron;&aacute;k</NAM><ADR><CITY><PDAT>Brno</PARTY-US></B700>"
    "</SDOBI><SDODE><DETDESC><BTEXT><PARA ID=\"P-1\" LVL=\"0\"><PTEXT><PDAT>t&lt;Min&minus;2"
    "&deg; &egr;&thgr;</PDAT><HIL><BOLD><PDAT>10</BOLD></HIL>\n<CWU><MATH-US ID=\"M-1\">"
    "<MATHEMATICA ID=\"MA-1\" FILE=\"US1-M1.NB\"><MATHML><math><mrow><mi>a</mi><mo>&CirclePlus;"
    "</mo><mi>&varnothing;</mi></mrow></math></MATHML><EMI ID=\"E-1\" FILE=\"US1-M1.TIF\">"
    "</MATH-US><CHEM-US ID=\"C-1\"><CHEMCDX FILE=\"US1-C1.CDX\"><CHEMMOL FILE=\"US1-C1.MOL\">"
    "</CWU><CWU><TABLE-US ID=\"T-1\"><TABLE-CALS><TABLE FRAME=\"none\"><TGROUP COLS=\"1\">"
    "<COLSPEC COLNAME=\"1\"><TBODY VALIGN=\"top\"><ROW><ENTRY><PTEXT><PDAT>x <CUSTOM-CHARACTER "
    "FILE=\"US1-P1.TIF\" ID=\"CC-1\"> y</ENTRY></TABLE-US></CWU>\n</BTEXT></DETDESC></SDODE>"
    "<SDOCL><CL><CLM ID=\"CLM-1\"><PARA ID=\"P-2\"><PTEXT><PDAT>A gadget.</CL></SDOCL>"
    "<SDODR ID=\"DRAWINGS\"><EMI ID=\"E-2\" FILE=\"US1-D1.TIF\"></SDODR></PATDOC>\n";

TEST_F(PrepTools, SgmlLift24ConvertsAPublishedGrant) {
    const std::string sgm = pkg_ + "/US1.sgm", xml = pkg_ + "/US1.xml";
    test::WriteFile(sgm, kPublishedSgml);
    const Outcome o = Run("SgmlLift24", {sgm, Catalog()});
    ASSERT_EQ(o.code, 0) << o.err;
    const std::string got = Read(xml);
    xmlDocPtr doc =
        xmlReadMemory(got.data(), static_cast<int>(got.size()), "x.xml", nullptr, XML_PARSE_NONET);
    EXPECT_NE(doc, nullptr);
    xmlFreeDoc(doc);
    for (const char* want : {
             "<B110><DNUM><PDAT>06000001</PDAT></DNUM></B110><B130><PDAT>B1</PDAT></B130>",
             "Gadget \u201CZ\u201D",
             "<CITED-BY-OTHER></CITED-BY-OTHER></B561>",
             "<B597US></B597US></B590>",
             "Dvo\u0159\u00E1k",
             "t&lt;Min\u22122\u00B0 \u03B5\u03B8",
             "<MATHEMATICA ID=\"MA-1\" FILE=\"US1-M1.NB\"></MATHEMATICA>",
             "<math xmlns=\"http://www.w3.org/1998/Math/MathML\"><mrow><mi>a</mi><mo>\u2295</mo>"
             "<mi>\u2205</mi></mrow></math>",
             "<EMI ID=\"E-1\" FILE=\"US1-M1.TIF\"></EMI></MATH-US>",
             "<CHEMCDX FILE=\"US1-C1.CDX\"></CHEMCDX><CHEMMOL FILE=\"US1-C1.MOL\">",
             "<TGROUP COLS=\"1\"><COLSPEC COLNAME=\"1\"></COLSPEC><TBODY VALIGN=\"top\"><ROW>",
             "x <CUSTOM-CHARACTER ID=\"CC-1\" FILE=\"US1-P1.TIF\"></CUSTOM-CHARACTER> y",
             "<SDODR ID=\"DRAWINGS\"><EMI ID=\"E-2\" FILE=\"US1-D1.TIF\"></EMI></SDODR>",
         }) {
        EXPECT_NE(got.find(want), std::string::npos) << want << "\n" << got;
    }
}

// Big files are streamed, never held whole (a 1 GB file under a 512 MB memory limit);
// a prolog that never ends is refused; a name of the longest valid length is rewritten.
TEST_F(PrepTools, PathMendAndDtdStripStreamBigFilesAndTakeLongNames) {
    const std::string big = pkg_ + "/big.xml";
    const std::string pi = Expand("{XSL}patent.xsl\"?>");
    const std::string prolog = std::string(kDecl) + "\n" + pi + "\n<patent-grant>";
#if defined(__SANITIZE_ADDRESS__)
    const rlim_t limit = RLIM_INFINITY;  // the sanitizers need far more address space
#else
    const rlim_t limit = 512u << 20;
#endif
    struct Case {
        std::string head;
        std::uint64_t size;
        std::vector<std::string> args;
        int code;
        std::string want;  // the new head, or the message
    } cases[] = {
        {prolog, 1ull << 30, {"DtdStrip", big}, 0, prolog},
        {prolog, 1ull << 30, {"PathMend", big, Catalog()}, 0, prolog},
        {"<!DOCTYPE a [<!ENTITY e 'x'>]><a>", 5u << 20, {"DtdStrip", big}, 0, "<a>"},
        {"<a><!-- --", 5u << 20, {"DtdStrip", big}, 0, "<a><!-- --"},
        {"<!-- never closed", 80u << 20, {"DtdStrip", big}, 1, "does not end within"},
    };
    for (const Case& c : cases) {
        test::WriteFile(big, c.head + "<x>tail</x>");
        ASSERT_EQ(truncate(big.c_str(), static_cast<off_t>(c.size)), 0);  // sparse: no disk used
        const Outcome o = Run(c.args[0], {c.args.begin() + 1, c.args.end()}, limit);
        EXPECT_EQ(o.code, c.code) << o.err;
        std::ifstream in(big, std::ios::binary);
        std::string head(c.code == 0 ? c.want.size() + 11 : c.head.size(), '\0');
        in.read(head.data(), static_cast<std::streamsize>(head.size()));
        if (c.code == 0) {
            EXPECT_EQ(head, c.want + "<x>tail</x>");
            EXPECT_EQ(sfs::file_size(big), c.size - c.head.size() + c.want.size());
        } else {
            EXPECT_NE(o.err.find(c.want), std::string::npos) << o.err;
            EXPECT_EQ(head, c.head);
        }
    }
    const std::string longName = pkg_ + "/" + std::string(251, 'n') + ".xml";
    for (const char* tool : {"PathMend", "DtdStrip"}) {
        test::WriteFile(longName, "<!DOCTYPE request SYSTEM \"r.dtd\"><request/>");
        const Outcome o = tool[0] == 'P' ? Run(tool, {longName, Catalog()}) : Run(tool, {longName});
        EXPECT_EQ(o.code, 0) << o.err;
        EXPECT_NE(Read(longName), "<!DOCTYPE request SYSTEM \"r.dtd\"><request/>") << tool;
    }
}

}  // namespace
}  // namespace tv::prep
