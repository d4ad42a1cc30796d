<?xml version="1.0" encoding="UTF-8"?>
<!--
  A readable page for a document of a type no catalog entry knows: its text as sections
  with headings, fields and paragraphs.

  An element holding other elements is a section, headed by its own title or heading
  child when it has one, else by its label; an element holding only a short text is a
  field ("Label: text"); a longer text, or text mixed with markup, is a paragraph. CALS
  tables become tables, b/i/u/sub/sup keep their look, images named by a plain local
  file name are shown, a "SEQ ID NO: n" links to the sequence listing (seqref.xsl).
  Labels come from the table at the end (English, German, French, by the document's
  language), else from the element's name made readable.

  Nothing of the document's markup reaches the page: every element and attribute is
  written by this stylesheet.
-->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform"
                xmlns:gl="urn:x-tessel:generic-labels" exclude-result-prefixes="gl">
<xsl:include href="cals-common.xsl"/>
<xsl:include href="labels.xsl"/>
<xsl:include href="seqref.xsl"/>
<xsl:output method="html" encoding="UTF-8" indent="no" doctype-system="about:legacy-compat"/>

<!-- A text up to this many characters, alone in its element, is a field. -->
<xsl:variable name="gen-field-max" select="160"/>
<xsl:variable name="gen-lang">
  <xsl:variable name="l" select="translate(substring((/*/@xml:lang | /*/@lang | /*/@LANG)[1], 1, 2), 'ABCDEFGHIJKLMNOPQRSTUVWXYZ', 'abcdefghijklmnopqrstuvwxyz')"/>
  <xsl:choose>
    <xsl:when test="$l = 'de' or $l = 'fr'"><xsl:value-of select="$l"/></xsl:when>
    <xsl:otherwise>en</xsl:otherwise>
  </xsl:choose>
</xsl:variable>
<xsl:variable name="gen-labels" select="document('')/*/gl:labels/gl:l"/>
<xsl:variable name="gen-title-names" select="' invention-title title-of-invention InventionTitle B540 B542 title TITLE doc-title '"/>
<xsl:variable name="gen-heading-names" select="' title heading TITLE HEADING caption '"/>
<xsl:variable name="gen-para-names" select="' p P para PARA paragraph PARAGRAPH PTEXT '"/>
<xsl:variable name="gen-inline" select="' b i u sub sup em strong smallcaps o BOLD ITALIC SB SP U '"/>

<xsl:template match="/">
  <xsl:variable name="t" select="(//*[contains($gen-title-names, concat(' ', local-name(), ' ')) and normalize-space(.) != ''])[1]"/>
  <html lang="{$gen-lang}">
    <head>
      <meta http-equiv="Content-Type" content="text/html; charset=UTF-8"/>
      <title>
        <xsl:choose>
          <xsl:when test="$t"><xsl:value-of select="normalize-space($t)"/></xsl:when>
          <xsl:otherwise><xsl:call-template name="gen-label"><xsl:with-param name="n" select="local-name(/*)"/></xsl:call-template></xsl:otherwise>
        </xsl:choose>
      </title>
      <style>
body { font-family: sans-serif; font-size: 11pt; line-height: 1.4; max-width: 60em; margin: 1em auto; padding: 0 1em; color: #111; background: #fff; }
h1 { font-size: 1.5em; } h2 { font-size: 1.25em; border-bottom: 1px solid #999; } h3 { font-size: 1.1em; }
h4, h5, h6 { font-size: 1em; margin: 0.6em 0 0.2em 0; }
section { margin: 0.4em 0 0.4em 0; }
section section { margin-left: 0.8em; }
div.field { margin: 0.1em 0; }
div.field span.label, p span.label { color: #444; margin-right: 0.5em; }
p.doctype { color: #555; }
img { max-width: 100%; height: auto; }
table.cals { border-collapse: collapse; margin: 0.6em 0; font-size: 0.9em; }
table.cals th, table.cals td { padding: 0.15em 0.4em; vertical-align: top; }
@media print { body { max-width: none; margin: 0; } }
      </style>
    </head>
    <body>
      <h1>
        <xsl:choose>
          <xsl:when test="$t"><xsl:apply-templates select="$t/node()"/></xsl:when>
          <xsl:otherwise><xsl:call-template name="gen-label"><xsl:with-param name="n" select="local-name(/*)"/></xsl:call-template></xsl:otherwise>
        </xsl:choose>
      </h1>
      <xsl:if test="$t">
        <p class="doctype"><xsl:call-template name="gen-label"><xsl:with-param name="n" select="local-name(/*)"/></xsl:call-template></p>
      </xsl:if>
      <xsl:for-each select="/*/@*">
        <xsl:call-template name="gen-field"><xsl:with-param name="value" select="normalize-space(.)"/></xsl:call-template>
      </xsl:for-each>
      <xsl:apply-templates select="/*/node()" mode="gen"><xsl:with-param name="depth" select="2"/></xsl:apply-templates>
    </body>
  </html>
</xsl:template>

<!-- Block walk. -->
<xsl:template match="*" mode="gen">
  <xsl:param name="depth"/>
  <xsl:variable name="name" select="local-name()"/>
  <xsl:variable name="text" select="normalize-space(.)"/>
  <xsl:choose>
    <xsl:when test="tgroup or TGROUP">
      <xsl:apply-templates select="." mode="cals"/>
    </xsl:when>
    <xsl:when test="contains($gen-inline, concat(' ', $name, ' '))">
      <p><xsl:apply-templates select="."/></p>
    </xsl:when>
    <xsl:when test="text()[normalize-space() != ''] or contains($gen-para-names, concat(' ', $name, ' '))">
      <xsl:choose>
        <xsl:when test="not(*) and string-length($text) &lt;= $gen-field-max and not(contains($gen-para-names, concat(' ', $name, ' ')))">
          <xsl:call-template name="gen-field"><xsl:with-param name="value" select="$text"/></xsl:call-template>
        </xsl:when>
        <xsl:otherwise>
          <p>
            <xsl:if test="not(contains($gen-para-names, concat(' ', $name, ' ')))">
              <span class="label"><xsl:call-template name="gen-label"><xsl:with-param name="n" select="$name"/></xsl:call-template></span>
            </xsl:if>
            <xsl:apply-templates/>
          </p>
        </xsl:otherwise>
      </xsl:choose>
    </xsl:when>
    <xsl:when test="*">
      <xsl:variable name="head" select="*[contains($gen-heading-names, concat(' ', local-name(), ' ')) and not(*[not(contains($gen-inline, concat(' ', local-name(), ' ')))])][1]"/>
      <section>
        <xsl:element name="h{$depth}">
          <xsl:choose>
            <xsl:when test="$head"><xsl:apply-templates select="$head/node()"/></xsl:when>
            <xsl:otherwise><xsl:call-template name="gen-label"><xsl:with-param name="n" select="$name"/></xsl:call-template></xsl:otherwise>
          </xsl:choose>
        </xsl:element>
        <xsl:variable name="body" select="node()[count(. | $head) != count($head)]"/>
        <xsl:choose>
          <!-- A lone wrapper (publication-reference/document-id) adds no heading of its own. -->
          <xsl:when test="not($head) and count(*) = 1 and not(text()[normalize-space() != ''])
                          and */* and not(*/text()[normalize-space() != '']) and not(*/tgroup or */TGROUP)">
            <xsl:apply-templates select="*/node()" mode="gen">
              <xsl:with-param name="depth" select="$depth + 1 - floor($depth div 6)"/>
            </xsl:apply-templates>
          </xsl:when>
          <xsl:otherwise>
            <xsl:apply-templates select="$body" mode="gen">
              <xsl:with-param name="depth" select="$depth + 1 - floor($depth div 6)"/>
            </xsl:apply-templates>
          </xsl:otherwise>
        </xsl:choose>
      </section>
    </xsl:when>
    <xsl:otherwise>
      <xsl:call-template name="gen-image"/>
    </xsl:otherwise>
  </xsl:choose>
</xsl:template>

<xsl:template match="text()" mode="gen">
  <xsl:if test="normalize-space() != ''"><p><xsl:apply-templates select="."/></p></xsl:if>
</xsl:template>

<!-- Text in paragraphs and tables: "SEQ ID NO: 5" links to the listing's page. -->
<xsl:template match="text()">
  <xsl:call-template name="tv-seq-text"><xsl:with-param name="text" select="."/></xsl:call-template>
</xsl:template>
<xsl:template match="comment() | processing-instruction()" mode="gen"/>

<!-- In-line content: paragraphs, table entries, headings. -->
<xsl:template match="*">
  <xsl:variable name="name" select="translate(local-name(), 'ABCDEFGHIJKLMNOPQRSTUVWXYZ', 'abcdefghijklmnopqrstuvwxyz')"/>
  <xsl:choose>
    <xsl:when test="$name = 'b' or $name = 'bold' or $name = 'strong'"><b><xsl:apply-templates/></b></xsl:when>
    <xsl:when test="$name = 'i' or $name = 'italic' or $name = 'em'"><i><xsl:apply-templates/></i></xsl:when>
    <xsl:when test="$name = 'u' or $name = 'o'"><u><xsl:apply-templates/></u></xsl:when>
    <xsl:when test="$name = 'sub' or $name = 'sb'"><sub><xsl:apply-templates/></sub></xsl:when>
    <xsl:when test="$name = 'sup' or $name = 'sp'"><sup><xsl:apply-templates/></sup></xsl:when>
    <xsl:when test="$name = 'br'"><br/></xsl:when>
    <xsl:when test="tgroup or TGROUP"><xsl:apply-templates select="." mode="cals"/></xsl:when>
    <xsl:when test="not(node())"><xsl:call-template name="gen-image"/></xsl:when>
    <xsl:otherwise>
      <!-- Words of neighbouring elements stay apart. -->
      <xsl:if test="preceding-sibling::node()[1][self::*]"><xsl:text> </xsl:text></xsl:if>
      <xsl:apply-templates/>
    </xsl:otherwise>
  </xsl:choose>
</xsl:template>

<!-- An image named by a plain file name beside the document; anything that could
     point elsewhere (a scheme, a folder, a parent) is not shown. -->
<xsl:template name="gen-image">
  <xsl:variable name="f" select="normalize-space((@file | @src | @href | @FILE)[1])"/>
  <xsl:variable name="ext" select="translate(substring($f, string-length($f) - 3), 'ABCDEFGHIJKLMNOPQRSTUVWXYZ', 'abcdefghijklmnopqrstuvwxyz')"/>
  <xsl:if test="$f != '' and translate($f, 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789._-', '') = ''
                and not(starts-with($f, '.'))
                and ($ext = '.tif' or $ext = 'tiff' or $ext = '.png' or $ext = '.jpg' or $ext = '.gif' or $ext = 'jpeg')">
    <a href="{$f}"><img src="{$f}" alt="{@alt}"/></a>
  </xsl:if>
</xsl:template>

<xsl:template name="gen-field">
  <xsl:param name="value"/>
  <div class="field">
    <span class="label"><xsl:call-template name="gen-label"><xsl:with-param name="n" select="local-name()"/></xsl:call-template></span>
    <span class="value"><xsl:value-of select="$value"/></span>
  </div>
</xsl:template>

<xsl:template name="gen-label">
  <xsl:param name="n"/>
  <xsl:variable name="row" select="$gen-labels[@n = $n]"/>
  <xsl:choose>
    <xsl:when test="$row/@*[local-name() = $gen-lang]"><xsl:value-of select="$row/@*[local-name() = $gen-lang]"/></xsl:when>
    <xsl:when test="$row"><xsl:value-of select="$row/@en"/></xsl:when>
    <xsl:otherwise><xsl:call-template name="lb-humanise"><xsl:with-param name="s" select="$n"/></xsl:call-template></xsl:otherwise>
  </xsl:choose>
</xsl:template>

<gl:labels>
  <gl:l n="abstract" en="Abstract" de="Zusammenfassung" fr="Abrégé"/>
  <gl:l n="description" en="Description" de="Beschreibung" fr="Description"/>
  <gl:l n="claims" en="Claims" de="Patentansprüche" fr="Revendications"/>
  <gl:l n="claim" en="Claim" de="Anspruch" fr="Revendication"/>
  <gl:l n="drawings" en="Drawings" de="Zeichnungen" fr="Dessins"/>
  <gl:l n="figure" en="Figure" de="Figur" fr="Figure"/>
  <gl:l n="bibliographic-data" en="Bibliographic data" de="Bibliographische Daten" fr="Données bibliographiques"/>
  <gl:l n="publication-reference" en="Publication" de="Veröffentlichung" fr="Publication"/>
  <gl:l n="application-reference" en="Application" de="Anmeldung" fr="Demande"/>
  <gl:l n="priority-claims" en="Priority claims" de="Prioritäten" fr="Priorités"/>
  <gl:l n="document-id" en="Document" de="Dokument" fr="Document"/>
  <gl:l n="doc-number" en="Number" de="Nummer" fr="Numéro"/>
  <gl:l n="kind" en="Kind" de="Art" fr="Code"/>
  <gl:l n="date" en="Date" de="Datum" fr="Date"/>
  <gl:l n="country" en="Country" de="Land" fr="Pays"/>
  <gl:l n="lang" en="Language" de="Sprache" fr="Langue"/>
  <gl:l n="parties" en="Parties" de="Beteiligte" fr="Parties"/>
  <gl:l n="applicants" en="Applicants" de="Anmelder" fr="Demandeurs"/>
  <gl:l n="applicant" en="Applicant" de="Anmelder" fr="Demandeur"/>
  <gl:l n="inventors" en="Inventors" de="Erfinder" fr="Inventeurs"/>
  <gl:l n="inventor" en="Inventor" de="Erfinder" fr="Inventeur"/>
  <gl:l n="assignees" en="Assignees" de="Inhaber" fr="Titulaires"/>
  <gl:l n="assignee" en="Assignee" de="Inhaber" fr="Titulaire"/>
  <gl:l n="agents" en="Representatives" de="Vertreter" fr="Mandataires"/>
  <gl:l n="agent" en="Representative" de="Vertreter" fr="Mandataire"/>
  <gl:l n="addressbook" en="Name and address" de="Name und Anschrift" fr="Nom et adresse"/>
  <gl:l n="orgname" en="Organisation" de="Organisation" fr="Organisation"/>
  <gl:l n="last-name" en="Last name" de="Nachname" fr="Nom"/>
  <gl:l n="first-name" en="First name" de="Vorname" fr="Prénom"/>
  <gl:l n="name" en="Name" de="Name" fr="Nom"/>
  <gl:l n="address" en="Address" de="Anschrift" fr="Adresse"/>
  <gl:l n="street" en="Street" de="Straße" fr="Rue"/>
  <gl:l n="city" en="City" de="Ort" fr="Ville"/>
  <gl:l n="postcode" en="Postcode" de="Postleitzahl" fr="Code postal"/>
  <gl:l n="state" en="State" de="Bundesstaat" fr="État"/>
  <gl:l n="invention-title" en="Title" de="Bezeichnung" fr="Titre"/>
  <gl:l n="classifications-ipcr" en="International classification" de="Internationale Klassifikation" fr="Classification internationale"/>
  <gl:l n="classification-ipcr" en="IPC" de="IPC" fr="CIB"/>
  <gl:l n="references-cited" en="Cited documents" de="Entgegenhaltungen" fr="Documents cités"/>
  <gl:l n="citation" en="Citation" de="Entgegenhaltung" fr="Citation"/>
  <gl:l n="search-report" en="Search report" de="Recherchenbericht" fr="Rapport de recherche"/>
  <gl:l n="heading" en="Heading" de="Überschrift" fr="Titre"/>
  <gl:l n="dtd-version" en="Version" de="Version" fr="Version"/>
  <gl:l n="id" en="Identifier" de="Kennung" fr="Identifiant"/>
  <gl:l n="file" en="File" de="Datei" fr="Fichier"/>
  <gl:l n="status" en="Status" de="Status" fr="Statut"/>
  <gl:l n="num" en="Number" de="Nummer" fr="Numéro"/>
</gl:labels>

</xsl:stylesheet>
