<?xml version="1.0" encoding="UTF-8"?>
<!-- A small stand-in for the document stylesheets, for trying the opener out. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="html" encoding="UTF-8"/>
  <xsl:template match="/patent-grant">
    <html>
      <head><title><xsl:value-of select=".//invention-title"/></title></head>
      <body style="font-family: serif; margin: 2em">
        <h1><xsl:value-of select=".//invention-title"/></h1>
        <p><b>
          <xsl:value-of select="concat(@country, ' ', .//publication-reference//doc-number, ' ', @kind)"/>
        </b></p>
        <h2>Abstract</h2>
        <xsl:for-each select="abstract/p"><p><xsl:value-of select="."/></p></xsl:for-each>
        <h2>Drawings</h2>
        <xsl:for-each select="drawings/figure">
          <p>FIG. <xsl:value-of select="@num"/></p>
          <img src="{img/@file}" style="border: 1px solid #999"/>
        </xsl:for-each>
        <h2>Claims</h2>
        <xsl:for-each select="claims/claim"><p><xsl:value-of select="claim-text"/></p></xsl:for-each>
      </body>
    </html>
  </xsl:template>
</xsl:stylesheet>
