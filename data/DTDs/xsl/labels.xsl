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
  <l k="series-code" en="series code" de="Seriencode" fr="code de série"/>
  <l k="priority-claims" en="Priority" de="Priorität" fr="Priorité"/>
  <l k="pct-or-regional-filing-data" en="International application" de="Internationale Anmeldung" fr="Demande internationale"/>
  <l k="pct-or-regional-publishing-data" en="International publication" de="Internationale Veröffentlichung" fr="Publication internationale"/>
  <l k="us-371c124-date" en="Date of national entry" de="Eintritt in die nationale Phase" fr="Entrée dans la phase nationale"/>
  <l k="us-371c12-date" en="Date of national entry" de="Eintritt in die nationale Phase" fr="Entrée dans la phase nationale"/>
  <l k="us-371c1-date" en="Date of national entry" de="Eintritt in die nationale Phase" fr="Entrée dans la phase nationale"/>
  <l k="related-documents" en="Related documents" de="Verwandte Dokumente" fr="Documents apparentés"/>
  <l k="continuation" en="Continuation of" de="Fortsetzung von" fr="Continuation de"/>
  <l k="continuation-of" en="Continuation of" de="Fortsetzung von" fr="Continuation de"/>
  <l k="continuation-in-part" en="Continuation in part of" de="Teilweise Fortsetzung von" fr="Continuation partielle de"/>
  <l k="continuation-in-part-of" en="Continuation in part of" de="Teilweise Fortsetzung von" fr="Continuation partielle de"/>
  <l k="division" en="Division of" de="Teilanmeldung von" fr="Division de"/>
  <l k="division-of" en="Division of" de="Teilanmeldung von" fr="Division de"/>
  <l k="reissue" en="Reissue of" de="Neuerteilung von" fr="Redélivrance de"/>
  <l k="reissue-of" en="Reissue of" de="Neuerteilung von" fr="Redélivrance de"/>
  <l k="us-reexamination-reissue-merger" en="Reexamination and reissue of" de="Überprüfung und Neuerteilung von" fr="Réexamen et redélivrance de"/>
  <l k="continuing-reissue" en="Continuing reissue of" de="Fortgesetzte Neuerteilung von" fr="Redélivrance continue de"/>
  <l k="reexamination" en="Reexamination of" de="Überprüfung von" fr="Réexamen de"/>
  <l k="substitution" en="Substitute for" de="Ersatz für" fr="Substitution de"/>
  <l k="us-provisional-application" en="Provisional application" de="Vorläufige Anmeldung" fr="Demande provisoire"/>
  <l k="provisional-application" en="Provisional application" de="Vorläufige Anmeldung" fr="Demande provisoire"/>
  <l k="related-publication" en="Prior publication" de="Frühere Veröffentlichung" fr="Publication antérieure"/>
  <l k="correction" en="Correction of" de="Berichtigung von" fr="Correction de"/>
  <l k="us-division-reissue" en="Division and reissue of" de="Teilung und Neuerteilung von" fr="Division et redélivrance de"/>
  <l k="utility-model-basis" en="Utility model basis" de="Gebrauchsmustergrundlage" fr="Base de modèle d'utilité"/>
  <l k="addition" en="Addition to" de="Zusatz zu" fr="Addition à"/>
  <l k="parent-grant-document" en="granted as" de="erteilt als" fr="délivré sous"/>
  <l k="parent-pct-document" en="international application" de="internationale Anmeldung" fr="demande internationale"/>
  <l k="child-doc" en="this application" de="diese Anmeldung" fr="cette demande"/>
  <l k="applicants" en="Applicants" de="Anmelder" fr="Demandeurs"/>
  <l k="inventors" en="Inventors" de="Erfinder" fr="Inventeurs"/>
  <l k="assignees" en="Assignees" de="Inhaber" fr="Titulaires"/>
  <l k="agents" en="Agents" de="Vertreter" fr="Mandataires"/>
  <l k="correspondence-address" en="Correspondence address" de="Zustellanschrift" fr="Adresse pour la correspondance"/>
  <l k="examiners" en="Examiners" de="Prüfer" fr="Examinateurs"/>
  <l k="primary-examiner" en="Primary examiner" de="Hauptprüfer" fr="Examinateur principal"/>
  <l k="assistant-examiner" en="Assistant examiner" de="Beisitzender Prüfer" fr="Examinateur adjoint"/>
  <l k="department" en="art unit" de="Prüfungsstelle" fr="unité d'examen"/>
  <l k="classifications" en="Classifications" de="Klassifikation" fr="Classification"/>
  <l k="ipc" en="International classification (IPC)" de="Internationale Klassifikation (IPC)" fr="Classification internationale (CIB)"/>
  <l k="cpc" en="Cooperative classification (CPC)" de="Gemeinsame Klassifikation (CPC)" fr="Classification coopérative (CPC)"/>
  <l k="national-classification" en="National classification" de="Nationale Klassifikation" fr="Classification nationale"/>
  <l k="locarno" en="Locarno classification" de="Locarno-Klassifikation" fr="Classification de Locarno"/>
  <l k="field-of-search" en="Field of search" de="Recherchiertes Gebiet" fr="Domaine de recherche"/>
  <l k="references-cited" en="References cited" de="Entgegengehaltene Dokumente" fr="Documents cités"/>
  <l k="cited-by-examiner" en="cited by examiner" de="vom Prüfer genannt" fr="cité par l'examinateur"/>
  <l k="cited-by-other" en="cited by others" de="von Dritten genannt" fr="cité par des tiers"/>
  <l k="number-of-claims" en="Number of claims" de="Anzahl der Ansprüche" fr="Nombre de revendications"/>
  <l k="exemplary-claim" en="Exemplary claim" de="Beispielhafter Anspruch" fr="Revendication type"/>
  <l k="drawing-sheets" en="Drawing sheets" de="Zeichnungsblätter" fr="Planches de dessins"/>
  <l k="number-of-figures" en="Figures" de="Figuren" fr="Figures"/>
  <l k="term-of-grant" en="Term of grant" de="Schutzdauer" fr="Durée de protection"/>
  <l k="us-term-extension" en="Term extended by (days)" de="Verlängert um (Tage)" fr="Prolongée de (jours)"/>
  <l k="length-of-grant" en="Length of grant" de="Schutzdauer" fr="Durée de protection"/>
  <l k="disclaimer" en="Disclaimer" de="Verzicht" fr="Renonciation"/>
  <l k="text" en="Note" de="Hinweis" fr="Note"/>
  <l k="lapse-of-patent" en="Lapse of patent" de="Erlöschen" fr="Déchéance"/>
  <l k="publication-filing-type" en="Filing type" de="Anmeldungsart" fr="Type de dépôt"/>
  <l k="us-publication-filing-type" en="Filing type" de="Anmeldungsart" fr="Type de dépôt"/>
  <l k="rule-47-flag" en="Rule 47" de="Regel 47" fr="Règle 47"/>
  <l k="us-botanic" en="Plant variety" de="Pflanzensorte" fr="Variété végétale"/>
  <l k="us-sir-flag" en="Statutory invention registration" de="Eingetragene Erfindung" fr="Enregistrement d'invention"/>
  <l k="us-issued-on-continued-prosecution-application" en="Issued on a continued prosecution application" de="Erteilt auf fortgesetzte Prüfung" fr="Délivré sur poursuite de l'examen"/>
  <l k="us-original-publication-voluntary" en="Voluntary publication" de="Freiwillige Veröffentlichung" fr="Publication volontaire"/>
  <l k="hague-agreement-data" en="Hague Agreement" de="Haager Abkommen" fr="Arrangement de La Haye"/>
  <l k="titles" en="Title" de="Bezeichnung" fr="Titre"/>
  <l k="abstract" en="Abstract" de="Zusammenfassung" fr="Abrégé"/>
  <l k="drawings" en="Drawings" de="Zeichnungen" fr="Dessins"/>
  <l k="description" en="Description" de="Beschreibung" fr="Description"/>
  <l k="claims" en="Claims" de="Patentansprüche" fr="Revendications"/>
  <l k="claim" en="Claim" de="Anspruch" fr="Revendication"/>
  <l k="figure" en="Figure" de="Figur" fr="Figure"/>
  <l k="front-page-drawing" en="Front page drawing" de="Zeichnung der Titelseite" fr="Dessin de la page de titre"/>
  <l k="representative-figure" en="Representative figure" de="Repräsentative Figur" fr="Figure représentative"/>
  <l k="table" en="Table" de="Tabelle" fr="Tableau"/>
  <l k="formulas" en="Formula images" de="Formelbilder" fr="Images des formules"/>
  <l k="formula-image" en="Formula as printed" de="Formel wie gedruckt" fr="Formule telle qu'imprimée"/>
  <l k="sequence-listing" en="Sequence listing" de="Sequenzprotokoll" fr="Listage des séquences"/>
  <l k="b110" en="Publication number" de="Veröffentlichungsnummer" fr="Numéro de publication"/>
  <l k="b140" en="Publication date" de="Veröffentlichungstag" fr="Date de publication"/>
  <l k="b210" en="Application number" de="Anmeldenummer" fr="Numéro de dépôt"/>
  <l k="b220" en="Filing date" de="Anmeldetag" fr="Date de dépôt"/>
  <l k="b430" en="Date of publication of application" de="Veröffentlichungstag der Anmeldung" fr="Date de publication de la demande"/>
  <l k="b450" en="Date of grant" de="Bekanntmachung des Hinweises auf die Patenterteilung" fr="Mention de la délivrance du brevet"/>
  <l k="b510" en="International classification (IPC)" de="Internationale Klassifikation (IPC)" fr="Classification internationale (CIB)"/>
  <l k="b520" en="National classification" de="Nationale Klassifikation" fr="Classification nationale"/>
  <l k="b560" en="References cited" de="Entgegengehaltene Dokumente" fr="Documents cités"/>
  <l k="b577" en="Number of claims" de="Anzahl der Ansprüche" fr="Nombre de revendications"/>
  <l k="b578" en="Exemplary claim" de="Beispielhafter Anspruch" fr="Revendication type"/>
  <l k="b580" en="Field of search" de="Recherchiertes Gebiet" fr="Domaine de recherche"/>
  <l k="b595" en="Drawing sheets" de="Zeichnungsblätter" fr="Planches de dessins"/>
  <l k="b596" en="Figures" de="Figuren" fr="Figures"/>
  <l k="b597" en="Figure on the front page" de="Figur der Titelseite" fr="Figure de la page de titre"/>
  <l k="b631" en="Continuation of" de="Fortsetzung von" fr="Continuation de"/>
  <l k="b632" en="Continuation in part of" de="Teilweise Fortsetzung von" fr="Continuation partielle de"/>
  <l k="b633" en="Division of" de="Teilanmeldung von" fr="Division de"/>
  <l k="b641" en="Reissue of" de="Neuerteilung von" fr="Redélivrance de"/>
  <l k="b645" en="Reexamination of" de="Überprüfung von" fr="Réexamen de"/>
  <l k="b650" en="Prior publication" de="Frühere Veröffentlichung" fr="Publication antérieure"/>
  <l k="b680" en="Provisional application" de="Vorläufige Anmeldung" fr="Demande provisoire"/>
  <l k="b720" en="Inventors" de="Erfinder" fr="Inventeurs"/>
  <l k="b730" en="Assignees" de="Inhaber" fr="Titulaires"/>
  <l k="b732" en="Assignee type" de="Art des Inhabers" fr="Type de titulaire"/>
  <l k="b740" en="Agents" de="Vertreter" fr="Mandataires"/>
  <l k="b745" en="Examiners" de="Prüfer" fr="Examinateurs"/>
  <l k="b746" en="Primary examiner" de="Hauptprüfer" fr="Examinateur principal"/>
  <l k="b747" en="Assistant examiner" de="Beisitzender Prüfer" fr="Examinateur adjoint"/>
  <l k="b748" en="Art unit" de="Prüfungsstelle" fr="Unité d'examen"/>
  <l k="b780" en="Opponents" de="Einsprechende" fr="Opposants"/>
  <l k="b860" en="International application" de="Internationale Anmeldung" fr="Demande internationale"/>
  <l k="b870" en="International publication" de="Internationale Veröffentlichung" fr="Publication internationale"/>
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
