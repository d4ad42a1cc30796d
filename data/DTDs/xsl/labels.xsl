<?xml version="1.0" encoding="UTF-8"?>
<!-- Labels: the patent pages' table by key and language, and element names as labels
     where no table has them: "fee-sheet" reads "Fee sheet", "ApplicantFileReference"
     "Applicant file reference", "IPOfficeCode" "IP office code". -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">

<!-- Labels of the patent pages by key, in each language we have. -->
<xsl:variable name="lb-rows">
  <l k="patent-document" en="Patent document" de="Patentdokument" fr="Document de brevet"/>
  <l k="contents" en="Contents" de="Inhalt" fr="Sommaire"/>
  <l k="publication-number" en="Publication number" de="Veröffentlichungsnummer" fr="Numéro de publication"/>
  <l k="publication-date" en="Publication date" de="Veröffentlichungstag" fr="Date de publication"/>
  <l k="application-number" en="Application number" de="Anmeldenummer" fr="Numéro de dépôt"/>
  <l k="filing-date" en="Filing date" de="Anmeldetag" fr="Date de dépôt"/>
  <l k="priority-claims" en="Priority" de="Priorität" fr="Priorité"/>
  <l k="applicants" en="Applicants" de="Anmelder" fr="Demandeurs"/>
  <l k="inventors" en="Inventors" de="Erfinder" fr="Inventeurs"/>
  <l k="assignees" en="Assignees" de="Inhaber" fr="Titulaires"/>
  <l k="agents" en="Agents" de="Vertreter" fr="Mandataires"/>
  <l k="correspondence-address" en="Correspondence address" de="Zustellanschrift" fr="Adresse pour la correspondance"/>
  <l k="classifications" en="Classifications" de="Klassifikation" fr="Classification"/>
  <l k="ipc" en="International classification (IPC)" de="Internationale Klassifikation (IPC)" fr="Classification internationale (CIB)"/>
  <l k="cpc" en="Cooperative classification (CPC)" de="Gemeinsame Klassifikation (CPC)" fr="Classification coopérative (CPC)"/>
  <l k="national-classification" en="National classification" de="Nationale Klassifikation" fr="Classification nationale"/>
  <l k="field-of-search" en="Field of search" de="Recherchiertes Gebiet" fr="Domaine de recherche"/>
  <l k="related-documents" en="Related documents" de="Verwandte Dokumente" fr="Documents apparentés"/>
  <l k="references-cited" en="References cited" de="Entgegengehaltene Dokumente" fr="Documents cités"/>
  <l k="number-of-claims" en="Number of claims" de="Anzahl der Ansprüche" fr="Nombre de revendications"/>
  <l k="drawing-sheets" en="Drawing sheets" de="Zeichnungsblätter" fr="Planches de dessins"/>
  <l k="number-of-figures" en="Figures" de="Figuren" fr="Figures"/>
  <l k="abstract" en="Abstract" de="Zusammenfassung" fr="Abrégé"/>
  <l k="drawings" en="Drawings" de="Zeichnungen" fr="Dessins"/>
  <l k="description" en="Description" de="Beschreibung" fr="Description"/>
  <l k="claims" en="Claims" de="Patentansprüche" fr="Revendications"/>
  <l k="claim" en="Claim" de="Anspruch" fr="Revendication"/>
  <l k="figure" en="Figure" de="Figur" fr="Figure"/>
  <l k="b110" en="Publication number" de="Veröffentlichungsnummer" fr="Numéro de publication"/>
  <l k="b140" en="Publication date" de="Veröffentlichungstag" fr="Date de publication"/>
  <l k="b210" en="Application number" de="Anmeldenummer" fr="Numéro de dépôt"/>
  <l k="b220" en="Filing date" de="Anmeldetag" fr="Date de dépôt"/>
  <l k="b510" en="International classification (IPC)" de="Internationale Klassifikation (IPC)" fr="Classification internationale (CIB)"/>
  <l k="b520" en="National classification" de="Nationale Klassifikation" fr="Classification nationale"/>
  <l k="b560" en="References cited" de="Entgegengehaltene Dokumente" fr="Documents cités"/>
  <l k="b570" en="Number of claims" de="Anzahl der Ansprüche" fr="Nombre de revendications"/>
  <l k="b580" en="Field of search" de="Recherchiertes Gebiet" fr="Domaine de recherche"/>
  <l k="b590" en="Drawings" de="Zeichnungen" fr="Dessins"/>
  <l k="b720" en="Inventors" de="Erfinder" fr="Inventeurs"/>
  <l k="b730" en="Assignees" de="Inhaber" fr="Titulaires"/>
  <l k="b740" en="Agents" de="Vertreter" fr="Mandataires"/>
</xsl:variable>

<xsl:variable name="lb-upper" select="'ABCDEFGHIJKLMNOPQRSTUVWXYZ'"/>
<xsl:variable name="lb-lower" select="'abcdefghijklmnopqrstuvwxyz'"/>

<xsl:template name="lb-humanise">
  <xsl:param name="s"/>
  <xsl:variable name="words">
    <xsl:call-template name="lb-split">
      <xsl:with-param name="s" select="normalize-space(translate($s, '-_.', '   '))"/>
    </xsl:call-template>
  </xsl:variable>
  <xsl:value-of select="concat(translate(substring($words, 1, 1), $lb-lower, $lb-upper), substring($words, 2))"/>
</xsl:template>

<!-- A capital after a small letter, or before one, starts a new word; acronyms keep
     their case. -->
<xsl:template name="lb-split">
  <xsl:param name="s"/>
  <xsl:param name="prev" select="''"/>
  <xsl:if test="$s != ''">
    <xsl:variable name="c" select="substring($s, 1, 1)"/>
    <xsl:variable name="next" select="substring($s, 2, 1)"/>
    <xsl:variable name="next-small" select="$next != '' and contains($lb-lower, $next)"/>
    <xsl:choose>
      <xsl:when test="contains($lb-upper, $c) and $prev != '' and $prev != ' ' and
                      (contains($lb-lower, $prev) or $next-small)">
        <xsl:text> </xsl:text>
        <xsl:choose>
          <xsl:when test="$next-small"><xsl:value-of select="translate($c, $lb-upper, $lb-lower)"/></xsl:when>
          <xsl:otherwise><xsl:value-of select="$c"/></xsl:otherwise>
        </xsl:choose>
      </xsl:when>
      <xsl:otherwise><xsl:value-of select="$c"/></xsl:otherwise>
    </xsl:choose>
    <xsl:call-template name="lb-split">
      <xsl:with-param name="s" select="substring($s, 2)"/>
      <xsl:with-param name="prev" select="$c"/>
    </xsl:call-template>
  </xsl:if>
</xsl:template>

</xsl:stylesheet>
