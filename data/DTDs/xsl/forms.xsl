<?xml version="1.0" encoding="UTF-8"?>
<!--
  Transmittal, request, fee sheet, declaration and any other form as a readable page:
  the root's name is the title, each element a labelled field, each element that
  holds further elements a fieldset. Nothing is left out: attributes show as fields
  too, and text mixed with markup shows as its text.
-->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
<xsl:include href="labels.xsl"/>
<xsl:output method="html" encoding="UTF-8" indent="no" doctype-system="about:legacy-compat"/>

<xsl:template match="/">
  <xsl:variable name="title">
    <xsl:call-template name="lb-humanise"><xsl:with-param name="s" select="local-name(*)"/></xsl:call-template>
  </xsl:variable>
  <html>
    <head>
      <meta http-equiv="Content-Type" content="text/html; charset=UTF-8"/>
      <title><xsl:value-of select="$title"/></title>
      <style>
body { font-family: sans-serif; font-size: 11pt; max-width: 50em; margin: 1em auto; padding: 0 1em; color: #111; background: #fff; }
h1 { font-size: 1.4em; border-bottom: 2px solid #444; padding-bottom: 0.2em; }
fieldset { border: 1px solid #aaa; margin: 0.6em 0; padding: 0.3em 0.8em 0.5em; }
legend { font-weight: bold; padding: 0 0.3em; }
div.field { display: flex; gap: 1em; padding: 0.12em 0; border-bottom: 1px dotted #ddd; }
div.field label { flex: 0 0 15em; color: #444; }
div.field span.value { flex: 1; white-space: pre-wrap; }
@media print { body { max-width: none; margin: 0; } fieldset { page-break-inside: avoid; } }
      </style>
    </head>
    <body>
      <h1><xsl:value-of select="$title"/></h1>
      <div class="form">
        <xsl:apply-templates select="*/@*"/>
        <xsl:apply-templates select="*/*"/>
      </div>
    </body>
  </html>
</xsl:template>

<!-- The label, numbered when the same name repeats among its siblings. -->
<xsl:template name="fm-label">
  <xsl:call-template name="lb-humanise"><xsl:with-param name="s" select="local-name()"/></xsl:call-template>
  <xsl:variable name="name" select="name()"/>
  <xsl:if test="../*[name() = $name][2]">
    <xsl:value-of select="concat(' ', count(preceding-sibling::*[name() = $name]) + 1)"/>
  </xsl:if>
</xsl:template>

<!-- A group of elements. -->
<xsl:template match="*[* and not(text()[normalize-space() != ''])]">
  <fieldset>
    <legend><xsl:call-template name="fm-label"/></legend>
    <xsl:apply-templates select="@* | *"/>
  </fieldset>
</xsl:template>

<!-- A value: its text; an empty element is a ticked box. -->
<xsl:template match="*">
  <div class="field">
    <label><xsl:call-template name="fm-label"/></label>
    <span class="value">
      <xsl:choose>
        <xsl:when test="normalize-space() != ''"><xsl:value-of select="normalize-space()"/></xsl:when>
        <xsl:when test="not(@*)">Yes</xsl:when>
      </xsl:choose>
      <xsl:for-each select="@*">
        <xsl:value-of select="concat(substring(' ', 1, number(position() > 1 or normalize-space(..) != '')), '(')"/>
        <xsl:call-template name="lb-humanise"><xsl:with-param name="s" select="local-name()"/></xsl:call-template>
        <xsl:value-of select="concat(': ', ., ')')"/>
      </xsl:for-each>
    </span>
  </div>
</xsl:template>

<xsl:template match="@*">
  <div class="field">
    <label><xsl:call-template name="lb-humanise"><xsl:with-param name="s" select="local-name()"/></xsl:call-template></label>
    <span class="value"><xsl:value-of select="."/></span>
  </div>
</xsl:template>

</xsl:stylesheet>
